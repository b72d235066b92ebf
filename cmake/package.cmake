# The Debian package of the game (make package): cpack in the build directory writes
# rink_VERSION_ARCH.deb with what a plain cmake --install puts under /usr, and the Debian-format
# copyright and changelog.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rink)
set(CPACK_PACKAGE_VENDOR "The Rink authors")
set(CPACK_PACKAGE_CONTACT "The Rink authors <rink@rinkgame.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://rinkgame.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade ice hockey against the computer")
# The long description as it reads in the package: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
One player skates against a computer skater while a computer goalie guards
each net: pick up the loose puck, wind up a shot and aim it high or low, or
body-check the computer's skater to take the puck away. The first side to ten
goals wins the match.

The game fills the screen with its 640 by 480 picture, enlarged by the largest
whole factor that fits, or plays in a window, with the keyboard or a gamepad.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the font's glyphs are compiled into the game.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_RINK_DEBIAN_DOCS ${PROJECT_SOURCE_DIR}/dist/copyright ${PROJECT_BINARY_DIR}/dist/changelog.gz)
set(CPACK_RINK_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_INSTALL_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_docs.cmake)
include(CPack)
