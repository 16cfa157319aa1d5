#pragma once

#include "host/FeatureClassName.h"

#include <QString>

#include <cstdint>
#include <memory>

// Where a merge writes, and the checks made before anything is written.

enum class OutputCheck {
    Ready,               // nothing stands in the way
    MissingFolder,       // shapefile output: nothing of the folder's name exists
    ExistingShapefile,   // shapefile output: folder/name.shp exists; ask before replacing
    MissingGeodatabase,  // geodatabase output: no regular .mdb or .gpkg file of that path
};

// Shapefile output into folder `path` under base name `name`. First clears from the folder
// what killed merges left (their hidden files; an old output they had moved aside goes back).
OutputCheck checkShapefileOutput(const QString& path, const QString& name);
// Geodatabase output into the existing file `path`; its ending, upper-cased, must be ".MDB" or
// ".GPKG".
OutputCheck checkGeodatabaseOutput(const QString& path);

// "Directory " path " is not exist!!"
QString missingFolderText(const QString& path);
// "Файл " path "/" name ".shp" " существует " CRLF "Заменить?"
QString replaceQuestionText(const QString& path, const QString& name);
// "File  " path " is not exist!!" (two blanks after "File")
QString missingGeodatabaseText(const QString& path);

// The description of the new output: simple features, shape field "Shape", `shapeType`, named
// `name`, in the shapefile folder or the geodatabase file `path`.
std::shared_ptr<FeatureClassName> describeOutput(bool shapefile, const QString& path,
                                                 const QString& name, std::int32_t shapeType);
