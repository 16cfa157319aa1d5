# A Debian package of what the install rules install. `make package` builds it in a tree
# configured for the prefix /usr, as Debian's own packages are, so the command library lands in
# the multiarch folder.
set(CONFLUX_PACKAGE_MAINTAINER "Conflux Maintainers <maintainers@conflux.example.org>" CACHE STRING
    "The Debian package's Maintainer field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME conflux)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${CONFLUX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CONFLUX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find shapefiles in folder trees and merge them by geometry kind")
set(CPACK_PACKAGE_DESCRIPTION [[
Conflux finds shapefiles scattered over folder trees by folder and file
masks, shows each one's field and record counts, lets the user prune the
list and look into any attribute table, and merges all files of one
geometry kind (point, line or polygon) whose names match a mask into one
new shapefile or GeoPackage feature class with the fields of a chosen
template.

The package holds the desktop program with its menu entry, and the
command line (conflux scan, conflux merge) that runs without a desktop.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CONFLUX_HOMEPAGE})
# Dependencies as dpkg-shlibdeps finds them in the binaries (it follows the executable's run
# path to the command library in the package itself).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_CONFLUX_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackagedBinaries.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Folders the install creates are 0755 whatever the umask, as Debian requires.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
