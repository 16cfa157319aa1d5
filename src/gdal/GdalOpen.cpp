#include "gdal/GdalOpen.h"

#include "formats/shapefile/GdalShapefilePath.h"
#include "host/GeometryKind.h"
#include "platform/FileNameCodec.h"

#include <cpl_conv.h>
#include <cpl_string.h>

namespace GdalOpen {

QByteArray toGdalPath(const QString& path) {
    return FileNameCodec::encode(path);
}

namespace {
// GDAL lists a file's whole folder on open to find its companions; in a folder of thousands of
// shapefiles that makes every open slow. Probing the companion names is enough.
class NoFolderListing {
public:
    NoFolderListing()
        : m_previous(CPLGetThreadLocalConfigOption("GDAL_DISABLE_READDIR_ON_OPEN", nullptr)) {
        CPLSetThreadLocalConfigOption("GDAL_DISABLE_READDIR_ON_OPEN", "EMPTY_DIR");
    }
    ~NoFolderListing() {
        CPLSetThreadLocalConfigOption("GDAL_DISABLE_READDIR_ON_OPEN",
                                      m_previous.isNull() ? nullptr : m_previous.constData());
    }

private:
    QByteArray m_previous;
};
}  // namespace

GDALDatasetUniquePtr shapefile(const QString& shpPath, bool rawText, GdalErrorCapture& errors) {
    const NoFolderListing noListing;
    const char* const drivers[] = {"ESRI Shapefile", nullptr};
    CPLStringList options;
    if (rawText) {
        options.SetNameValue("ENCODING", "");
    }
    const GdalShapefilePath path(shpPath);
    GDALDatasetUniquePtr dataset(GDALDataset::Open(
        path.path().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR, drivers,
        options.List(), nullptr));
    if (!dataset) {
        const ConfluxError error =
            errors.error(QStringLiteral("Shapefile '%1' cannot be opened").arg(shpPath));
        throw ConfluxError(error.number(), path.shown(error.description()));
    }
    // The .prj is read on first use: now, while the files GDAL was handed are still there.
    OGRLayer* layer = dataset->GetLayer(0);
    if (path.isPrivate() && layer)
        layer->GetSpatialRef();
    return dataset;
}

GDALDatasetUniquePtr geoPackage(const QString& path, bool update, GdalErrorCapture& errors) {
    const char* const drivers[] = {"GPKG", nullptr};
    const unsigned flags =
        GDAL_OF_VECTOR | GDAL_OF_VERBOSE_ERROR | (update ? GDAL_OF_UPDATE : GDAL_OF_READONLY);
    GDALDatasetUniquePtr dataset(
        GDALDataset::Open(toGdalPath(path).constData(), flags, drivers, nullptr, nullptr));
    if (!dataset) {
        throw errors.error(QStringLiteral("GeoPackage '%1' cannot be opened").arg(path));
    }
    return dataset;
}

GDALDatasetUniquePtr fileGeodatabase(const QString& path, GdalErrorCapture& errors) {
    const char* const drivers[] = {"OpenFileGDB", nullptr};
    GDALDatasetUniquePtr dataset(GDALDataset::Open(
        toGdalPath(path).constData(), GDAL_OF_VECTOR | GDAL_OF_VERBOSE_ERROR | GDAL_OF_READONLY,
        drivers, nullptr, nullptr));
    if (!dataset) {
        throw errors.error(QStringLiteral("File Geodatabase '%1' cannot be opened").arg(path));
    }
    return dataset;
}

OGRLayer* layer(GDALDataset& dataset, const QString& path, const QString& name,
                GdalErrorCapture& errors) {
    OGRLayer* found =
        name.isEmpty() ? dataset.GetLayer(0) : dataset.GetLayerByName(name.toUtf8().constData());
    if (!found) {
        throw errors.error(QStringLiteral("Layer '%1' of '%2' not found").arg(name, path));
    }
    return found;
}

std::int32_t shapeTypeCode(OGRwkbGeometryType type) {
    switch (wkbFlatten(type)) {
        case wkbPoint:
            return ShapeTypeCode::Point;
        case wkbMultiPoint:
            return ShapeTypeCode::Multipoint;
        case wkbLineString:
        case wkbMultiLineString:
            return ShapeTypeCode::Polyline;
        case wkbPolygon:
        case wkbMultiPolygon:
            return ShapeTypeCode::Polygon;
        default:
            return 0;
    }
}

}  // namespace GdalOpen
