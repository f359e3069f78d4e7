# The Debian package: `cpack -G DEB` in the build folder (or `bash scripts/setup.sh package`).
# It holds exactly what `cmake --install` lays out, under /usr. Its dependencies are the shared
# libraries' packages as dpkg-shlibdeps finds them, plus the font the screens are drawn with.
# No maintainer scripts: the reader makes each user's folder at their first start.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lomeva)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Lomeva developers <maintainers@users.noreply.c-seed-b50e93c9.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for collections of classical Chinese poems")
# The first line of the description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lomeva shows a library of classical Chinese poems in one small window
laid out like a 240 x 320 handheld screen. Browse every poem, search by
title, author, dynasty, form or full text, read a poem as a page in your
own colours over a background picture while quiet music loops, look up a
poet or a form, and type in poems of your own.
.
It comes with a library of Tang and Song poems. Each user of a system-wide
install gets a copy of the libraries of their own, in
~/.local/share/lomeva, so that the poems they add are kept.
.
The poemlib command lists, searches, checks, imports into and exports
any library in the reader's two-file format.")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The screens' "宋体" face, and another CJK face to fall back on. The music plays through Qt
# Multimedia (found by dpkg-shlibdeps from the music module) to the desktop's sound server.
# OpenCC is loaded only when the import converts, out of dpkg-shlibdeps' sight: its package is
# named after its soname, as Debian names it (libopencc.so.1.1 is in libopencc1.1).
string(REGEX REPLACE "^lib(.+)\\.so\\.(.+)$" "lib\\1\\2" lomeva_opencc_package
                     ${LOMEVA_OPENCC_SONAME})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, ${lomeva_opencc_package}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, pipewire-pulse | pulseaudio")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# (The music module names the C library for the package's sake: platform/ui/sound/.)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# CPack writes maintainer scripts that run ldconfig for any shared object under /usr/lib, but the
# music module is the reader's own, loaded by path, and needs none. Naming scripts of our own
# keeps CPack from writing them; as there are no such files, the package has no maintainer
# scripts at all (CPack notes them as missing).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/none/postinst
                                       ${CMAKE_BINARY_DIR}/packaging/none/postrm)

# A native package's change log, compressed as Debian wants it.
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
file(WRITE ${changelog}
     "lomeva (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
     "  * Packaged: the reader, poemlib, the default library, the desktop entry,\n"
     "    icon and AppStream metadata; a program folder of one's own for each user.\n\n"
     " -- ${CPACK_PACKAGE_CONTACT}  Mon, 07 Dec 2026 12:00:00 +0000\n")
add_custom_command(
    OUTPUT ${changelog}.gz
    COMMAND sh -c "${GZIP_PROGRAM} -9nc \"$1\" > \"$2\"" sh ${changelog} ${changelog}.gz
    DEPENDS ${changelog}
    VERBATIM)
add_custom_target(lomeva_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lomeva)

include(CPack)
