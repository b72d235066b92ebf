# The Debian package of the game (make package): cpack in the build directory writes
# rink_VERSION_ARCH.deb with what a plain cmake --install puts under /usr, and the Debian-format
# copyright and changelog.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rink)
set(CPACK_PACKAGE_VENDOR "The Rink authors")
set(CPACK_PACKAGE_CONTACT "The Rink authors <rink@rinkgame.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://rinkgame.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade ice hockey for one or two players")
# The long description as it reads in the package: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
One player skates against a computer skater, or two players share the
keyboard, while a computer goalie guards each net: pick up the loose puck,
wind up a shot and aim it high or low, or body-check the other skater to take
the puck away. The first side to ten goals wins the match.

The game's 640 by 480 picture fills the screen or a window at any size and
stays sharp. It plays with the keyboard or game controllers, with sound
effects that M turns off, and P pauses it.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the font's glyphs are compiled into the game.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The Debian-format copyright file and the compressed changelog belong to the package alone: a
# plain cmake --install leaves them out, since a distribution's own packaging writes its own.
# They are installed as every other file is, under the package's prefix, by a second pass over
# the build tree that installs only their component.
install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright ${PROJECT_BINARY_DIR}/dist/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian_docs EXCLUDE_FROM_ALL)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};rink;ALL;/" "${PROJECT_BINARY_DIR};rink;debian_docs;/")
include(CPack)
