#pragma once

#include "formats/OutputPlace.h"

#include <QString>

#include <cstdint>
#include <memory>

// Where a merge writes, and the checks made before anything is written.

enum class OutputCheck {
    Ready,               // nothing stands in the way
    MissingFolder,       // shapefile output: nothing of the folder's name exists
    ExistingShapefile,   // shapefile output: a file of folder/name.shp's set exists, in any
                         // letter case; ask before replacing
    MissingGeodatabase,  // geodatabase output: no .mdb or .gpkg file, no .gdb folder there
};

// Shapefile output into folder `path` under base name `name`. First clears from the folder
// what killed merges left (their hidden files; an old output they had moved aside goes back).
OutputCheck checkShapefileOutput(const QString& path, const QString& name);
// Geodatabase output into the existing `path`: a regular file ending, upper-cased, in ".MDB" or
// ".GPKG", or a File Geodatabase folder ending in ".GDB".
OutputCheck checkGeodatabaseOutput(const QString& path);

// The geodatabase a path chosen in the file dialog stands for: a File Geodatabase is a folder,
// so a file chosen inside a folder ending in ".gdb" (case ignored) stands for that folder, as
// does the folder itself; any other path stands for itself.
QString chosenGeodatabase(const QString& chosen);

// "Directory " path " is not exist!!"
QString missingFolderText(const QString& path);
// "Файл " path "/" name ".shp" " существует " CRLF "Заменить?"
QString replaceQuestionText(const QString& path, const QString& name);
// "File  " path " is not exist!!" (two blanks after "File")
QString missingGeodatabaseText(const QString& path);

// The description of the new output named `name`: a shapefile in the folder `path`, or a
// layer in the geodatabase `path`, a File Geodatabase when it ends in ".gdb" (case ignored),
// else a GeoPackage (an Access database is refused when the merge opens it).
OutputPlace describeOutput(bool shapefile, const QString& path, const QString& name);
