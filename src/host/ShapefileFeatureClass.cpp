#include "host/ShapefileFeatureClass.h"

#include "formats/shapefile/ShapefileFiles.h"
#include "host/GdalOpen.h"

ShapefileFeatureClass::ShapefileFeatureClass(QString shpPath) : m_shpPath(std::move(shpPath)) {}

QString ShapefileFeatureClass::AliasName() const {
    return ShapefileFiles::baseName(m_shpPath);
}

namespace {
std::int32_t rawType(const QString& shpPath) {
    const auto type = ShapefileFiles::readShpType(shpPath);
    if (!type) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("'%1' is not a readable shapefile").arg(shpPath));
    }
    return *type;
}
}  // namespace

std::int32_t ShapefileFeatureClass::ShapeType() const {
    return ShapefileFiles::shapeTypeCode(rawType(m_shpPath));
}

bool ShapefileFeatureClass::HasZ() const {
    return ShapefileFiles::shpTypeHasZ(rawType(m_shpPath));
}

bool ShapefileFeatureClass::HasM() const {
    return ShapefileFiles::shpTypeHasM(rawType(m_shpPath));
}

std::int64_t ShapefileFeatureClass::FeatureCount() const {
    GdalErrorCapture errors;
    auto dataset = GdalOpen::shapefile(m_shpPath, true, errors);
    OGRLayer* layer = GdalOpen::layer(*dataset, m_shpPath, {}, errors);
    const GIntBig count = layer->GetFeatureCount(TRUE);
    if (count < 0) {
        throw errors.error(
            QStringLiteral("Layer '%1' of '%2' cannot be counted").arg(AliasName(), m_shpPath));
    }
    return count;
}
