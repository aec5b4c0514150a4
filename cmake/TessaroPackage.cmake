# A Debian package of what `cmake --install` puts in place (scripts/package.sh
# makes it). Its dependencies come from the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaro)
set(CPACK_PACKAGE_VENDOR "Tessaro developers")
set(CPACK_PACKAGE_CONTACT "Tessaro developers <hello@tessaro.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design decorative bead pens")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaro is a desktop program for designing decorative bead pens: pick a pen\n"
    "type, ink, barrel and charm, drag up to six beads onto the barrel and keep\n"
    "finished designs in a case. It also keeps a collection of quotes, shows the\n"
    "drawing pages made on other devices and renders the pen onto a wallpaper.\n"
    "Everything syncs between devices through a folder shared by a file-sync\n"
    "engine such as Syncthing or Nextcloud.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL https://tessaro.app)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The D-Bus service file names the program by the configured prefix, so the
# package must install to the same one.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The letter beads and the rounded interface text use these fonts, and the
# share menu's mail goes through xdg-email; each has a fallback.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-quicksand, fonts-nanum, xdg-utils")
include(CPack)
