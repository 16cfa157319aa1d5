#include "formats/shapefile/ShapefileWorkspace.h"

#include "formats/shapefile/ShapefileFeatureClass.h"
#include "shapefile/ShapefileFiles.h"

std::shared_ptr<IFeatureClass> ShapefileWorkspace::OpenFeatureClass(const QString& name) {
    const QString shpPath = ShapefileFiles::findShp(m_folder, name);
    if (shpPath.isEmpty()) {
        throw ConfluxError(
            ErrorNumber::HostFailure,
            QStringLiteral("Shapefile '%1.shp' does not exist in '%2'").arg(name, m_folder));
    }
    return openFile(shpPath);
}

std::shared_ptr<IFeatureClass> ShapefileWorkspace::openFile(const QString& shpPath) {
    return std::make_shared<ShapefileFeatureClass>(shpPath);
}
