# A Debian package built from the same install rules as `cmake --install`.
set(CPACK_PACKAGE_NAME "vistelle")
set(CPACK_PACKAGE_VENDOR "Vistelle developers")
set(CPACK_PACKAGE_CONTACT "Vistelle developers <developers@vistelle.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture slideshow editor and full-screen player")
set(CPACK_PACKAGE_DESCRIPTION "Vistelle builds picture slideshows with background music, saves
them as project files, test-runs them and prepares them for a compact disc.
Showvale plays such a show over the whole screen, each picture for its own
time, with looping music, until a click.")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vistelle.invalid/")
# Qt's own libraries come from the shared-library dependencies; the media formats and the
# picture formats beyond Qt's built-in ones are plugins that nothing links to. libheif decodes
# HEIC and AVIF; Debian 12's libheif1 brings its HEVC (libde265) and AV1 (dav1d, aom) decoders
# itself, later releases split them into libheif-plugin-* packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-image-formats-plugins, libheif1, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
