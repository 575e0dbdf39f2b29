# The Debian package: "cpack -G DEB" in a Release build (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivrotype)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Kivro")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "English vocabulary typing game")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Learn English words by typing them as they fall down the board: word books "
  "cut into toll gates of twenty words, three levels, spoken words, a "
  "leaderboard and importable word lists.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kivro <kivrotype@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# What the program loads at run time, which dpkg-shlibdeps cannot see.
# Add a package here when the program starts loading something new (for
# example the speech voices of another engine).
set(KIVRO_RUNTIME_DEPENDS
  qt6-qpa-plugins      # the X11 (xcb) platform plugin
  fonts-liberation2    # "Liberation Sans", the Latin face of every window
  fonts-arphic-uming   # "AR PL UMing", the Chinese face
  espeak-ng-data       # the speech engine's voices
)
list(JOIN KIVRO_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
