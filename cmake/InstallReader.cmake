# Installing the reader (the top-level CMakeLists.txt includes this after cmake/Install.cmake when
# the window system is built): the program folder, the link on PATH, the desktop entry, the
# AppStream metadata, the icon at the theme's sizes and the reader's manual page.
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
