#include "host/MergeTarget.h"

#include "discovery/GeometryKind.h"
#include "formats/shapefile/ShapefileFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {
ConfluxError refusal(const QString& text) {
    return ConfluxError(ErrorNumber::HostFailure, text);
}
}  // namespace

MergeTarget MergeTarget::from(const FeatureClassName& output) {
    const auto workspace = output.WorkspaceName();
    if (!workspace) {
        throw ConfluxError(ErrorNumber::ObjectNotSet,
                           QStringLiteral("The output has no workspace name"));
    }
    MergeTarget target;
    target.location = workspace->PathName();
    target.name = output.Name();
    target.geometryColumn =
        output.ShapeFieldName().isEmpty() ? QStringLiteral("Shape") : output.ShapeFieldName();
    target.shapeType = output.ShapeType();
    if (workspace->WorkspaceFactoryProgID() == WorkspaceName::GeodatabaseFactory) {
        target.geoPackage = true;
        if (!QFileInfo(target.location).isFile()) {
            throw refusal(QStringLiteral("Geodatabase '%1' does not exist").arg(target.location));
        }
    } else if (workspace->WorkspaceFactoryProgID() == WorkspaceName::ShapefileFactory) {
        if (!QFileInfo(target.location).isDir()) {
            throw refusal(QStringLiteral("Folder '%1' does not exist").arg(target.location));
        }
    } else {
        throw refusal(QStringLiteral("Unknown workspace factory '%1'")
                          .arg(workspace->WorkspaceFactoryProgID()));
    }
    if (target.name.trimmed().isEmpty() || target.name.contains(QLatin1Char('/'))) {
        throw refusal(QStringLiteral("'%1' is no valid output name").arg(target.name));
    }
    if (!geometryKindOf(target.shapeType) || output.FeatureType() != 1) {
        throw refusal(QStringLiteral("Shape type %1 cannot be written").arg(target.shapeType));
    }
    return target;
}

void MergeTarget::refuseOverwriting(const std::vector<QString>& sources) const {
    if (geoPackage) {
        return;
    }
    const QString folder = QFileInfo(location).canonicalFilePath();
    for (const QString& source : sources) {
        const QFileInfo info(source);
        if (info.absoluteDir().canonicalPath() == folder &&
            ShapefileFiles::baseName(source).compare(name, Qt::CaseInsensitive) == 0) {
            throw refusal(QStringLiteral("The output '%1' is one of the merge's own files ('%2'); "
                                         "choose another name or folder")
                              .arg(name, source));
        }
    }
}
