#include "formats/shapefile/ShapefileFiles.h"

#include "discovery/GeometryKind.h"
#include "platform/FileNameCodec.h"
#include "platform/UniqueFd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ShapefileFiles {

namespace {
bool isRegularFile(const QString& path) {
    struct stat info {};
    return ::stat(FileNameCodec::encode(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qsizetype limit) {
    const UniqueFd file = UniqueFd::openRegularFile(FileNameCodec::encode(path).constData());
    if (!file.isOpen()) {
        return std::nullopt;
    }
    QByteArray bytes(limit, Qt::Uninitialized);
    qsizetype done = 0;
    while (done < limit) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, size_t(limit - done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

std::optional<std::int32_t> readShpType(const QString& shpPath) {
    const auto header = readRegularFile(shpPath, 100);
    if (!header || header->size() < 100 || qFromBigEndian<qint32>(header->constData()) != 9994) {
        return std::nullopt;
    }
    return qFromLittleEndian<qint32>(header->constData() + 32);
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
    return ShpType::hasZ(shpType);
}

bool shpTypeHasM(std::int32_t shpType) {
    // Z types may carry M too, but GDAL reads them as M-less unless told; keep them 3D only.
    return ShpType::isMeasured(shpType);
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

std::int32_t shpTypeFor(std::int32_t code, bool hasZ, bool hasM) {
    return ShpType::of(kindOfCode(code), hasZ, hasM);
}

std::int64_t indexedRecords(const QString& shpPath) {
    const QString shx = sidecar(shpPath, QStringLiteral("shx"));
    struct stat info {};
    if (shx.isEmpty() || ::stat(FileNameCodec::encode(shx).constData(), &info) != 0) {
        return 0;
    }
    return std::max<std::int64_t>(0, (info.st_size - 100) / 8);
}

QString sidecar(const QString& shpPath, const QString& extension) {
    const QFileInfo info(shpPath);
    const QString stem = info.dir().filePath(baseName(shpPath)) + QLatin1Char('.');
    for (const QString& candidate : {extension.toLower(), extension.toUpper()}) {
        if (isRegularFile(stem + candidate)) {
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
