#include "formats/filegdb/FileGdbFeatureClass.h"

#include "formats/OgrGeometryType.h"
#include "gdal/GdalOpen.h"

FileGdbFeatureClass::FileGdbFeatureClass(QString folder, QString className)
    : m_folder(std::move(folder)), m_className(std::move(className)) {}

OGRwkbGeometryType FileGdbFeatureClass::geometryType() const {
    GdalErrorCapture errors;
    const auto dataset = GdalOpen::fileGeodatabase(m_folder, errors);
    return GdalOpen::layer(*dataset, m_folder, m_className, errors)->GetGeomType();
}

std::int32_t FileGdbFeatureClass::ShapeType() const {
    return shapeTypeCode(geometryType());
}

bool FileGdbFeatureClass::HasZ() const {
    return wkbHasZ(geometryType());
}

bool FileGdbFeatureClass::HasM() const {
    return wkbHasM(geometryType());
}

std::int64_t FileGdbFeatureClass::FeatureCount() const {
    GdalErrorCapture errors;
    const auto dataset = GdalOpen::fileGeodatabase(m_folder, errors);
    const GIntBig count =
        GdalOpen::layer(*dataset, m_folder, m_className, errors)->GetFeatureCount();
    if (count < 0) {
        throw errors.error(QStringLiteral("Feature class '%1' of '%2' cannot be counted")
                               .arg(m_className, m_folder));
    }
    return count;
}
