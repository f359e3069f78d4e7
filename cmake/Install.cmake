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
    set(manual_pages ${manual_pages} ${packaging_build}/${name}.gz PARENT_SCOPE)
    install(FILES ${packaging_build}/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

set(manual_pages "")
lomeva_manual_page(poemlib.1)
install(TARGETS poemlib RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(LOMEVA_WITH_UI)
    lomeva_manual_page(lomeva.1)

    install(TARGETS lomeva pimg RUNTIME DESTINATION ${LOMEVA_INSTALL_PROGRAM_DIR})
    install(TARGETS lomeva_sound LIBRARY DESTINATION ${LOMEVA_INSTALL_PROGRAM_DIR})
    # Whatever the program folder holds when installing: libraries built into it later by the
    # set-up script are installed too.
    install(CODE "set(LOMEVA_PROGRAM_DIR [[${LOMEVA_PROGRAM_DIR}]])
                  set(LOMEVA_INSTALL_PROGRAM_DIR [[${LOMEVA_INSTALL_PROGRAM_DIR}]])")
    install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallProgramFiles.cmake)

    # `lomeva` on PATH is a relative link to the reader, so the tree may be moved (or unpacked
    # from the package anywhere) as a whole. The reader itself finds its folder, and a folder
    # of the user's own when that one is not theirs to write (platform/core/ProgramFolder.h).
    file(RELATIVE_PATH bin_to_reader /prefix/${CMAKE_INSTALL_BINDIR}
         /prefix/${LOMEVA_INSTALL_PROGRAM_DIR}/lomeva)
    file(CREATE_LINK ${bin_to_reader} ${packaging_build}/lomeva SYMBOLIC)
    install(FILES ${packaging_build}/lomeva DESTINATION ${CMAKE_INSTALL_BINDIR})

    install(FILES ${packaging_source}/${LOMEVA_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${packaging_source}/${LOMEVA_APP_ID}.metainfo.xml
                   ${packaging_build}/${LOMEVA_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${packaging_build}/${LOMEVA_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # The icon of the reader's own art, drawn at each size of the hicolor theme.
    set(icon_dir ${packaging_build}/icons)
    set(theme_icons "")
    foreach(size 16 22 24 32 48 64 128 256 512)
        list(APPEND theme_icons ${icon_dir}/${size}x${size}/apps/lomeva.png)
    endforeach()
    add_custom_command(
        OUTPUT ${theme_icons}
        COMMAND artgen icons ${icon_dir}
        DEPENDS artgen
        COMMENT "Drawing the icon for the desktop's icon theme"
        VERBATIM)
    add_custom_target(lomeva_theme_icons ALL DEPENDS ${theme_icons})
    install(DIRECTORY ${icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

add_custom_target(lomeva_manual_pages ALL DEPENDS ${manual_pages})

install(FILES ${packaging_source}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lomeva)
