#pragma once

#include <QString>

// Versions of the libraries the process runs with, as they report themselves at run time
// (which may differ from the headers the program was built with).
namespace LibraryVersions {

QString gdal();    // "3.6.2"
QString sqlite();  // "3.40.1"

}  // namespace LibraryVersions
