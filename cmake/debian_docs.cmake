# Run by CPack while it stages the Debian package (CPACK_INSTALL_SCRIPTS): the Debian-format
# copyright file and the compressed changelog belong to the package. A plain cmake --install
# leaves them out, since a distribution's own packaging writes its own.
file(INSTALL ${CPACK_RINK_DEBIAN_DOCS} DESTINATION ${CMAKE_INSTALL_PREFIX}/${CPACK_RINK_DOCDIR})
