#include "formats/shapefile/ShapefileWorkspaceFactory.h"

#include "formats/shapefile/ShapefileWorkspace.h"

#include "platform/FileEntry.h"

std::shared_ptr<IFeatureWorkspace> ShapefileWorkspaceFactory::OpenFromPropertySet(
    const PropertySet& properties, std::int64_t) const {
    const QString folder = properties.GetProperty(QStringLiteral("DATABASE")).toString();
    if (!FileEntry::isFolder(folder)) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("Folder '%1' does not exist").arg(folder));
    }
    return std::make_shared<ShapefileWorkspace>(folder);
}
