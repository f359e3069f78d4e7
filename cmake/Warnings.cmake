# The project's warnings, carried by one interface target that every target of the project
# links. Warnings are errors where the presets and CI say so (LOMEVA_WERROR), not on every build.
add_library(lomeva_warnings INTERFACE)
target_compile_options(lomeva_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    $<$<BOOL:${LOMEVA_WERROR}>:-Werror>)

# Links lomeva_warnings into every library and executable made in `dir` and the folders below it.
function(lomeva_warn_everything_in dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
            target_link_libraries(${target} PRIVATE lomeva_warnings)
        endif()
    endforeach()
    get_property(folders DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(folder IN LISTS folders)
        lomeva_warn_everything_in(${folder})
    endforeach()
endfunction()
