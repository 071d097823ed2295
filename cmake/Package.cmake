# `cpack` in a build configured with CMAKE_INSTALL_PREFIX=/usr makes the Debian package
# (scripts/package.sh does both). dpkg-shlibdeps computes the dependencies from the
# programs themselves, so a newer Qt or SQLite on the build machine is asked for as well.
if(NOT (UNIX AND NOT APPLE))
  return()
endif()

# The files Debian's policy wants in every package's documentation folder.
set(generated ${PROJECT_BINARY_DIR}/data)
add_custom_command(OUTPUT ${generated}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/changelog.Debian ${generated}/changelog.Debian
  COMMAND gzip -9nf ${generated}/changelog.Debian
  DEPENDS ${PROJECT_SOURCE_DIR}/data/changelog.Debian
  VERBATIM)
add_custom_target(velmira_changelog ALL DEPENDS ${generated}/changelog.Debian.gz)
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright ${generated}/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/velmira)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmira)
set(CPACK_PACKAGE_VENDOR Velmira)
set(CPACK_PACKAGE_CONTACT "Velmira <velmira@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmira <velmira@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The Debian revision; data/changelog.Debian names the same version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GNSS job files to Turkish cadastre acceptance forms")
set(CPACK_PACKAGE_DESCRIPTION
"Velmira reads the job files (.tsj, SQLite databases) that a GNSS field
controller writes during RTK and network RTK (CORS) surveys. It lists every
fixed point with its quality figures, projects it to 3-degree Transverse
Mercator grid coordinates, pairs the two sessions of every control point,
checks them against the regulation and writes the detail and polygon forms
of the Turkish cadastre as Excel 97-2003 workbooks.

The package holds the desktop program velmira (Turkish user interface) and
the batch command line velmira-cli.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own translations make the standard dialogues and buttons speak Turkish.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR OFF)
include(CPack)
