# The Debian package (cpack -G DEB, run by scripts/package) of what
# Install.cmake installs. Its version is the project's.
set(CPACK_PACKAGE_NAME lintorra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${LINTORRA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LINTORRA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LINTORRA_MAINTAINER})
# The libraries come from dpkg-shlibdeps; the window's Japanese font and Qt's
# own Japanese texts are looked up at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bulk pen conversion of Jw_cad drawings")
# CPack puts the summary before the description's paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lintorra rewrites the pen attributes of Jw_cad drawings (JWW) and figures
(JWS) in bulk: line colour, line type and line width, by conversion tables
that the user edits. Every selected file is saved, unchanged in all other
respects, into a separate folder; a file already there is first backed up.
.
The package holds the desktop program lintorra, with Japanese windows, and
lintorra-cli, which runs the same conversion and inspects drawings from
scripts.")

include(CPack)
