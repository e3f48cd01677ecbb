# Installing Zol like a Debian game, and its .deb.
#
# Layout below the prefix (/usr in the package):
#   lib/games/zol/zol, img/, wave/, midi/   the program with its resources beside it
#   games/zol -> ../lib/games/zol/zol       what PATH finds; the program resolves the link
#   share/applications/org.zolgame.Zol.desktop, share/metainfo/org.zolgame.Zol.metainfo.xml
#   share/icons/hicolor/NxN/apps/org.zolgame.Zol.png (16 to 256), share/man/man6/zol.6.gz
#   share/doc/zol/copyright, changelog.Debian.gz, share/lintian/overrides/zol
# `cmake --install build --prefix DIR` lays this out; `cpack -G DEB` (in the build folder)
# makes the package; packaging/check-package.sh builds and checks both.

set(ZOL_DESKTOP_ID org.zolgame.Zol)
# The licence of the program and of the assets it generates (LICENSE), as SPDX names it;
# Debian's copyright file calls the same licence Expat.
unset(ZOL_PROJECT_LICENSE CACHE)
set(ZOL_PROJECT_LICENSE MIT)
set(ZOL_CONTACT "The Zol team <team@zol.example.org>")
set(ZOL_HOMEPAGE https://zol.example.org/)
# The date of this version's release, for the metainfo and the manual page.
set(ZOL_RELEASE_DATE 2026-12-06)
set(ZOL_LIB_DIR lib/games/zol)
set(ZOL_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

configure_file(${CMAKE_SOURCE_DIR}/packaging/${ZOL_DESKTOP_ID}.metainfo.xml.in
  ${ZOL_PACKAGING_OUT}/${ZOL_DESKTOP_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/zol.6.in ${ZOL_PACKAGING_OUT}/zol.6 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${ZOL_PACKAGING_OUT}/copyright @ONLY)

# The package's version is the latest entry of packaging/changelog: the game's version
# and the package's revision. A new game version needs a new entry there.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog ZOL_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT ZOL_CHANGELOG_TOP MATCHES "^zol \\(([^-)]+)-([^)]+)\\) ")
  message(FATAL_ERROR "packaging/changelog must start with an entry 'zol (VERSION-REVISION) ...'")
endif()
set(ZOL_DEBIAN_REVISION ${CMAKE_MATCH_2})
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(WARNING "packaging/changelog's latest entry is for ${CMAKE_MATCH_1}, "
    "the game is ${PROJECT_VERSION}: add an entry for it")
endif()

# Debian keeps manual pages and changelogs compressed; -n leaves the name and time out,
# so the package is the same for the same source.
find_program(ZOL_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${ZOL_PACKAGING_OUT}/zol.6.gz
  COMMAND ${ZOL_GZIP} -9nf -k ${ZOL_PACKAGING_OUT}/zol.6
  DEPENDS ${ZOL_PACKAGING_OUT}/zol.6
  COMMENT "Compressing the manual page")
add_custom_command(OUTPUT ${ZOL_PACKAGING_OUT}/changelog.Debian.gz
  COMMAND ${ZOL_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog
    > ${ZOL_PACKAGING_OUT}/changelog.Debian.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the changelog")
add_custom_target(docs ALL
  DEPENDS ${ZOL_PACKAGING_OUT}/zol.6.gz ${ZOL_PACKAGING_OUT}/changelog.Debian.gz)

# The command on PATH: a relative link, so that it holds in any prefix.
file(CREATE_LINK ../${ZOL_LIB_DIR}/zol ${ZOL_PACKAGING_OUT}/zol SYMBOLIC)

install(TARGETS zol RUNTIME DESTINATION ${ZOL_LIB_DIR})
foreach(folder img wave midi)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/${folder} DESTINATION ${ZOL_LIB_DIR})
endforeach()
install(FILES ${ZOL_PACKAGING_OUT}/zol DESTINATION games)
# The desktop entry starts the command by its full path, as not every desktop session has
# the games folder on PATH; it is written when installing, for the prefix installed into
# (the package's is /usr).
install(CODE "
  set(ZOL_GAMES_DIR \"\${CMAKE_INSTALL_PREFIX}/games\")
  set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/${ZOL_DESKTOP_ID}.desktop\")
  message(STATUS \"Installing: \${entry}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/packaging/${ZOL_DESKTOP_ID}.desktop.in\" \"\${entry}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${entry}\")
")
install(FILES ${ZOL_PACKAGING_OUT}/${ZOL_DESKTOP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 32 48 64 128)
  install(FILES ${CMAKE_BINARY_DIR}/img/icon-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${ZOL_DESKTOP_ID}.png)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/img/icon.png
  DESTINATION share/icons/hicolor/256x256/apps RENAME ${ZOL_DESKTOP_ID}.png)
install(FILES ${ZOL_PACKAGING_OUT}/zol.6.gz DESTINATION share/man/man6)
install(FILES ${ZOL_PACKAGING_OUT}/copyright ${ZOL_PACKAGING_OUT}/changelog.Debian.gz
  DESTINATION share/doc/zol)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
  DESTINATION share/lintian/overrides RENAME zol)

# The .deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zol)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ZOL_DEBIAN_REVISION})
set(CPACK_PACKAGE_VENDOR "The Zol team")
set(CPACK_PACKAGE_CONTACT "${ZOL_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "falling-block merge puzzle game")
# The long description; CPack indents it and marks the empty line for the control file.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pieces of blocks slide in from the right of a small board. Steer them, cycle
their kinds, and merge equal neighbours into the next kind; merges let the
blocks above fall and set off chains. The score raises the level and the pace.

Zol plays with the keyboard, the mouse and game controllers, and shows its
pixel art sharp at any window size and in full screen.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZOL_HOMEPAGE})
# The libraries it links are found by dpkg-shlibdeps; what it loads at run time is not:
# the music's soundfont, the label font fontconfig finds for "Arial", and OpenGL itself
# (libepoxy opens it when the window is made).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "timgm6mb-soundfont | sf2-soundfont-gm, fonts-liberation2 | fonts-liberation, libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
