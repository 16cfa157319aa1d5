#pragma once

#include "errors/ConfluxError.h"
#include "shapefile/ShapeRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The files of one shapefile and what its .shp header says, read without GDAL.
namespace ShapefileFiles {

// The bytes of the .shp's and the .shx's header.
inline constexpr qsizetype kHeaderBytes = 100;

// "Shapefile 'shpPath' cannot be read: what".
ConfluxError unreadable(const QString& shpPath, const QString& what);

// The first `limit` bytes of `path` when it is a regular file (never waiting on a named pipe);
// nullopt when it is missing (or `path` empty), no regular file or unreadable.
std::optional<QByteArray> readRegularFile(const QString& path, qsizetype limit);

// Host shape type code of a raw type: 1, 2, 3, 4, 9, or 0 for null and unknown types.
std::int32_t shapeTypeCode(std::int32_t shpType);
// The family of shapes of a host code (Null for a code no shapefile holds).
ShapeKind kindOfCode(std::int32_t shapeTypeCode);

// The names a companion of `shpPath` with `extension` ("dbf") may have, in the order they are
// taken: the extension in the letter case of the .shp's own (ROADS.SHP: ROADS.DBF), then in
// lower and in upper case. So two shapefiles whose names differ only in case each keep theirs.
QStringList companionNames(const QString& shpPath, const QString& extension);

// The first of companionNames that is a regular file; empty when there is none. A named pipe
// or device of that name counts as none.
QString sidecar(const QString& shpPath, const QString& extension);

// `folder`/`name`.shp, a regular file found with the extension in any case; empty when absent.
QString findShp(const QString& folder, const QString& name);

// The text before the last dot of the file name.
QString baseName(const QString& path);

}  // namespace ShapefileFiles
