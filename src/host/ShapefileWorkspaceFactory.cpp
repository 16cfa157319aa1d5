#include "host/ShapefileWorkspaceFactory.h"

#include "host/ShapefileWorkspace.h"

#include <QFileInfo>

std::shared_ptr<IFeatureWorkspace> ShapefileWorkspaceFactory::OpenFromPropertySet(
    const PropertySet& properties, std::int64_t) const {
    const QString folder = properties.GetProperty(QStringLiteral("DATABASE")).toString();
    if (!QFileInfo(folder).isDir()) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("Folder '%1' does not exist").arg(folder));
    }
    return std::make_shared<ShapefileWorkspace>(folder);
}
