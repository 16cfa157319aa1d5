#include "shapefile/ShapefileFiles.h"

#include "host/GeometryKind.h"
#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"
#include "platform/RegularFile.h"
#include "platform/UniqueFd.h"

#include <QtEndian>

#include <unistd.h>

#include <algorithm>

namespace ShapefileFiles {

ConfluxError unreadable(const QString& shpPath, const QString& what) {
    return ConfluxError(ErrorNumber::HostFailure,
                        QStringLiteral("Shapefile '%1' cannot be read: %2").arg(shpPath, what));
}

std::optional<QByteArray> readRegularFile(const QString& path, qsizetype limit) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return ::readRegularFile(FileNameCodec::encode(path), limit);
}

std::int32_t shapeTypeCode(std::int32_t shpType) {
    switch (shpType) {
        case ShpType::Point:
        case ShpType::PointZ:
        case ShpType::PointM:
            return ShapeTypeCode::Point;
        case ShpType::MultiPoint:
        case ShpType::MultiPointZ:
        case ShpType::MultiPointM:
            return ShapeTypeCode::Multipoint;
        case ShpType::PolyLine:
        case ShpType::PolyLineZ:
        case ShpType::PolyLineM:
            return ShapeTypeCode::Polyline;
        case ShpType::Polygon:
        case ShpType::PolygonZ:
        case ShpType::PolygonM:
            return ShapeTypeCode::Polygon;
        case ShpType::MultiPatch:
            return ShapeTypeCode::Multipatch;
        default:
            return 0;
    }
}

ShapeKind kindOfCode(std::int32_t code) {
    switch (code) {
        case ShapeTypeCode::Point:
            return ShapeKind::Point;
        case ShapeTypeCode::Multipoint:
            return ShapeKind::MultiPoint;
        case ShapeTypeCode::Polyline:
        case ShapeTypeCode::Line:
            return ShapeKind::PolyLine;
        case ShapeTypeCode::Polygon:
            return ShapeKind::Polygon;
        default:
            return ShapeKind::Null;
    }
}

QStringList companionNames(const QString& shpPath, const QString& extension) {
    const QString stem = shpPath.left(shpPath.lastIndexOf(QLatin1Char('/')) + 1) +
                         baseName(shpPath) + QLatin1Char('.');
    const QString own = shpPath.mid(stem.size());
    QString alike = extension.toLower();
    for (qsizetype i = 0; i < alike.size() && !own.isEmpty(); ++i) {
        if (own[std::min(i, own.size() - 1)].isUpper()) {
            alike[i] = alike[i].toUpper();
        }
    }
    QStringList names{stem + alike};
    for (const QString& other : {extension.toLower(), extension.toUpper()}) {
        if (!names.contains(stem + other)) {
            names << stem + other;
        }
    }
    return names;
}

QString sidecar(const QString& shpPath, const QString& extension) {
    for (const QString& candidate : companionNames(shpPath, extension)) {
        // A pipe or device of the name counts as missing: opening it could wait forever.
        if (FileEntry::isRegularFile(candidate)) {
            return candidate;
        }
    }
    return {};
}

QString findShp(const QString& folder, const QString& name) {
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const char* extension : {".shp", ".SHP", ".Shp"}) {
        const QString path = prefix + name + QLatin1String(extension);
        if (FileEntry::isRegularFile(path)) {
            return path;
        }
    }
    const QString wanted = (name + QStringLiteral(".shp")).toUpper();
    for (const QString& entry : FileEntry::names(folder)) {
        if (entry.toUpper() == wanted && FileEntry::isRegularFile(prefix + entry)) {
            return prefix + entry;
        }
    }
    return {};
}

QString baseName(const QString& path) {
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

}  // namespace ShapefileFiles
