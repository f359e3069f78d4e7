# The numbered files of the program folder, read from the header the program itself uses
# (platform/core/ProgramFiles.h), so that their count and names are written in one place:
#   LOMEVA_BACKGROUND_NAMES, LOMEVA_MUSIC_NAMES   bare names, from number 1 up
#   LOMEVA_BACKGROUND_FILES, LOMEVA_MUSIC_FILES   the same in LOMEVA_PROGRAM_DIR
set(program_files_header ${PROJECT_SOURCE_DIR}/platform/core/ProgramFiles.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${program_files_header})
file(READ ${program_files_header} program_files)

# The names of the files that `count_constant` counts and `name_constant` names ("bgpic%u.jpg").
function(lomeva_numbered_names variable count_constant name_constant)
    string(REGEX MATCH "${count_constant} = ([0-9]+);" found "${program_files}")
    set(count ${CMAKE_MATCH_1})
    string(REGEX MATCH "${name_constant}\\[\\] = \"([^\"]+)\";" found "${program_files}")
    set(pattern ${CMAKE_MATCH_1})
    if(NOT count OR NOT pattern MATCHES "%u")
        message(FATAL_ERROR "${program_files_header} does not give ${count_constant} and "
                            "${name_constant} as the build reads them")
    endif()
    set(names "")
    foreach(n RANGE 1 ${count})
        string(REPLACE "%u" ${n} name ${pattern})
        list(APPEND names ${name})
    endforeach()
    set(${variable} ${names} PARENT_SCOPE)
endfunction()

lomeva_numbered_names(LOMEVA_BACKGROUND_NAMES kBackgroundPictureCount kBackgroundPictureName)
lomeva_numbered_names(LOMEVA_MUSIC_NAMES kBackgroundMusicCount kBackgroundMusicName)
list(TRANSFORM LOMEVA_BACKGROUND_NAMES PREPEND ${LOMEVA_PROGRAM_DIR}/
     OUTPUT_VARIABLE LOMEVA_BACKGROUND_FILES)
list(TRANSFORM LOMEVA_MUSIC_NAMES PREPEND ${LOMEVA_PROGRAM_DIR}/ OUTPUT_VARIABLE LOMEVA_MUSIC_FILES)
