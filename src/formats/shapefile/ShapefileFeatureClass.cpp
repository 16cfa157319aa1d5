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
    return ShapefileFiles::shpTypeHasZ(m_probe->shpType());
}

bool ShapefileFeatureClass::HasM() const {
    return ShapefileFiles::shpTypeHasM(m_probe->shpType());
}
