#include "formats/shapefile/ShapefileFeatureClass.h"

#include "shapefile/ShapefileFiles.h"

ShapefileFeatureClass::ShapefileFeatureClass(const QString& shpPath)
    : m_probe(ShapefileProbe::open(shpPath)) {}

QString ShapefileFeatureClass::AliasName() const {
    return ShapefileFiles::baseName(shpPath());
}

std::int32_t ShapefileFeatureClass::ShapeType() const {
    return ShapefileFiles::shapeTypeCode(m_probe->shpType());
}

bool ShapefileFeatureClass::HasZ() const {
    return ShpType::hasZ(m_probe->shpType());
}

bool ShapefileFeatureClass::HasM() const {
    // Z types may carry M too, but GDAL reads them as M-less unless told; keep them 3D only.
    return ShpType::isMeasured(m_probe->shpType());
}
