#include "formats/shapefile/ShapefileFiles.h"

#include "discovery/GeometryKind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace ShapefileFiles {

std::optional<std::int32_t> readShpType(const QString& shpPath) {
    QFile file(shpPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray header = file.read(100);
    if (header.size() < 100 || qFromBigEndian<qint32>(header.constData()) != 9994) {
        return std::nullopt;
    }
    return qFromLittleEndian<qint32>(header.constData() + 32);
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

bool shpTypeHasZ(std::int32_t shpType) {
    return (shpType > 10 && shpType < 20) || shpType == ShpType::MultiPatch;
}

bool shpTypeHasM(std::int32_t shpType) {
    // Z types may carry M too, but GDAL reads them as M-less unless told; keep them 3D only.
    return shpType > 20 && shpType < 30;
}

std::int32_t shpTypeFor(std::int32_t code, bool hasZ, bool hasM) {
    std::int32_t plain = 0;
    switch (code) {
        case ShapeTypeCode::Point:
            plain = ShpType::Point;
            break;
        case ShapeTypeCode::Multipoint:
            plain = ShpType::MultiPoint;
            break;
        case ShapeTypeCode::Polyline:
        case ShapeTypeCode::Line:
            plain = ShpType::PolyLine;
            break;
        case ShapeTypeCode::Polygon:
            plain = ShpType::Polygon;
            break;
        default:
            return 0;
    }
    return hasZ ? plain + 10 : (hasM ? plain + 20 : plain);
}

std::int64_t indexedRecords(const QString& shpPath) {
    const QFileInfo shx(sidecar(shpPath, QStringLiteral("shx")));
    return shx.exists() ? std::max<std::int64_t>(0, (shx.size() - 100) / 8) : 0;
}

QString sidecar(const QString& shpPath, const QString& extension) {
    const QFileInfo info(shpPath);
    const QString stem = info.dir().filePath(baseName(shpPath)) + QLatin1Char('.');
    for (const QString& candidate : {extension.toLower(), extension.toUpper()}) {
        if (QFileInfo::exists(stem + candidate)) {
            return stem + candidate;
        }
    }
    return {};
}

QString findShp(const QString& folder, const QString& name) {
    const QDir dir(folder);
    for (const char* extension : {".shp", ".SHP", ".Shp"}) {
        const QString path = dir.filePath(name + QLatin1String(extension));
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    const QString wanted = (name + QStringLiteral(".shp")).toUpper();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.toUpper() == wanted) {
            return dir.filePath(entry);
        }
    }
    return {};
}

QString baseName(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

}  // namespace ShapefileFiles
