#include "gdal/LibraryVersions.h"

#include <gdal.h>
#include <sqlite3.h>

namespace LibraryVersions {

QString gdal() {
    return QString::fromLatin1(GDALVersionInfo("RELEASE_NAME"));
}

QString sqlite() {
    return QString::fromLatin1(sqlite3_libversion());
}

}  // namespace LibraryVersions
