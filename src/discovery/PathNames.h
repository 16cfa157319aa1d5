#pragma once

#include <QString>

// Path pieces with "/" as the separator.

// The base name: the text between the last "/" and the last "." of FullName ("/data/roads.shp"
// -> "roads", "/data/roads.old.shp" -> "roads.old"); empty when there is no "." after the last
// "/" ("/maps.2/roads" -> "").
QString GetFNameFromFullName(const QString& FullName);

// The last folder name of a folder path ("/data/roads" -> "roads"). Appends "/" to sDir first
// when it does not end with one (in the caller's variable too); "/" alone gives "".
QString GetLastDir(QString& sDir);
