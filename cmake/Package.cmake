# Debian packages of what the install rules install: conflux (the program) and
# qgis-plugin-conflux (the QGIS plugin, a package of its own so that the program does not pull
# in QGIS's Python, and the plugin comes and goes with QGIS). `make package` builds them in a tree
# configured for the prefix /usr, as Debian's own packages are, so the command library lands in
# the multiarch folder.
set(CONFLUX_PACKAGE_MAINTAINER "Conflux Maintainers <maintainers@conflux.example.org>" CACHE STRING
    "The Debian package's Maintainer field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME conflux)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${CONFLUX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CONFLUX_PACKAGE_MAINTAINER})
# Not CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it before each package's own summary.
set(conflux_summary "find shapefiles in folder trees and merge them by geometry kind")
set(conflux_description [[
Conflux finds shapefiles scattered over folder trees by folder and file
masks, shows each one's field and record counts, lets the user prune the
list and look into any attribute table, and merges all files of one
geometry kind (point, line or polygon) whose names match a mask into one
new shapefile, GeoPackage layer, File Geodatabase feature class or PostGIS
table with the fields of a chosen template.

The package holds the desktop program with its menu entry, and the
command line (conflux scan, conflux merge) that runs without a desktop.]])
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program qgis)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME conflux)
set(CPACK_DEBIAN_QGIS_PACKAGE_NAME qgis-plugin-conflux)
# Per package: the summary on the first line, the long description after it.
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
    "${conflux_summary}\n${conflux_description}")
set(CPACK_DEBIAN_QGIS_DESCRIPTION [[QGIS Processing provider for Conflux
Two algorithms in QGIS's Processing Toolbox, batch mode, graphical
models and qgis_process: "Find shapefiles" lists the shapefiles of a
folder tree by folder and file masks with their field and record counts,
and "Merge shapefiles from folders" merges those of one geometry kind
into a new shapefile, GeoPackage layer, File Geodatabase feature class
or PostGIS table, through the conflux program.]])
set(CPACK_DEBIAN_QGIS_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_QGIS_PACKAGE_DEPENDS "conflux (= ${PROJECT_VERSION}), python3-qgis")
set(CPACK_DEBIAN_QGIS_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CONFLUX_HOMEPAGE})
# Dependencies as dpkg-shlibdeps finds them in the binaries (it follows the executable's run
# path to the command library in the package itself).
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_CONFLUX_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackagedBinaries.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Folders the install creates are 0755 whatever the umask, as Debian requires.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
