#include "formats/geopackage/GeoPackageFeatureClass.h"

#include "formats/OgrGeometryType.h"
#include "gdal/GdalOpen.h"

GeoPackageFeatureClass::GeoPackageFeatureClass(QString path, QString layerName)
    : m_path(std::move(path)), m_layerName(std::move(layerName)) {}

namespace {
OGRwkbGeometryType layerType(const QString& path, const QString& name) {
    GdalErrorCapture errors;
    auto dataset = GdalOpen::geoPackage(path, false, errors);
    return GdalOpen::layer(*dataset, path, name, errors)->GetGeomType();
}
}  // namespace

std::int32_t GeoPackageFeatureClass::ShapeType() const {
    return shapeTypeCode(layerType(m_path, m_layerName));
}

bool GeoPackageFeatureClass::HasZ() const {
    return wkbHasZ(layerType(m_path, m_layerName));
}

bool GeoPackageFeatureClass::HasM() const {
    return wkbHasM(layerType(m_path, m_layerName));
}

std::int64_t GeoPackageFeatureClass::FeatureCount() const {
    GdalErrorCapture errors;
    auto dataset = GdalOpen::geoPackage(m_path, false, errors);
    const GIntBig count = GdalOpen::layer(*dataset, m_path, m_layerName, errors)->GetFeatureCount();
    if (count < 0) {
        throw errors.error(
            QStringLiteral("Layer '%1' of '%2' cannot be counted").arg(m_layerName, m_path));
    }
    return count;
}
