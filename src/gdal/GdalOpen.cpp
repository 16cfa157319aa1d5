#include "gdal/GdalOpen.h"

#include "platform/FileNameCodec.h"

#include <cpl_string.h>

namespace GdalOpen {

QByteArray toGdalPath(const QString& path) {
    return FileNameCodec::encode(path);
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

}  // namespace GdalOpen
