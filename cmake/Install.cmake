# Installing: `cmake --install build --prefix P` lays out
#   P/lib/lomeva/          the program folder: the reader, its music module, the picture viewer,
#                          every library (each .idx/.dat pair built into build/lomeva), the
#                          pictures, the music and the reference pages
#   P/bin/lomeva           a link to the reader, which runs on a folder of the user's own when
#                          the program folder is not theirs to write (platform/core/ProgramFolder.h)
#   P/bin/poemlib          the command line
#   P/share/...            the desktop entry, the icon at the theme's sizes, the AppStream
#                          metadata, the manual pages and the copyright
# Running from the build tree is not affected: nothing here changes build/lomeva.
# This file installs the command line and what both share; cmake/InstallReader.cmake the rest.
include(GNUInstallDirs)

set(LOMEVA_INSTALL_PROGRAM_DIR "lib/lomeva" CACHE STRING
    "The installed program folder, relative to the prefix")
set(LOMEVA_APP_ID org.lomeva.Lomeva)
set(packaging_source ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_build ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_build})

find_program(GZIP_PROGRAM gzip REQUIRED)

# A manual page, dated and versioned, compressed the way Debian wants it (no name, no time).
function(lomeva_manual_page name)
    configure_file(${packaging_source}/${name} ${packaging_build}/${name} @ONLY)
    add_custom_command(
        OUTPUT ${packaging_build}/${name}.gz
        COMMAND sh -c "${GZIP_PROGRAM} -9nc \"$1\" > \"$2\"" sh ${packaging_build}/${name}
                ${packaging_build}/${name}.gz
        DEPENDS ${packaging_build}/${name}
        VERBATIM)
    string(REPLACE "." "_" target ${name})
    add_custom_target(lomeva_manual_page_${target} ALL DEPENDS ${packaging_build}/${name}.gz)
    install(FILES ${packaging_build}/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

lomeva_manual_page(poemlib.1)
install(TARGETS poemlib RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${packaging_source}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lomeva)
