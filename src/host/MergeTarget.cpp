#include "host/MergeTarget.h"

#include "discovery/GeometryKind.h"
#include "formats/shapefile/ShapefileFiles.h"
#include "platform/FileEntry.h"

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
    const bool geodatabase =
        workspace->WorkspaceFactoryProgID() == WorkspaceName::GeodatabaseFactory;
    if (geodatabase && target.location.toUpper().endsWith(QStringLiteral(".GDB"))) {
        target.fileGeodatabase = true;
        if (!FileEntry::isFolder(target.location)) {
            throw refusal(
                QStringLiteral("File Geodatabase '%1' does not exist").arg(target.location));
        }
    } else if (geodatabase) {
        target.geoPackage = true;
        if (!FileEntry::isRegularFile(target.location)) {
            throw refusal(QStringLiteral("Geodatabase '%1' does not exist").arg(target.location));
        }
    } else if (workspace->WorkspaceFactoryProgID() == WorkspaceName::PostgisFactory) {
        target.postgis = true;  // the server checks the name and the place, in its transaction
    } else if (workspace->WorkspaceFactoryProgID() == WorkspaceName::ShapefileFactory) {
        if (!FileEntry::isFolder(target.location)) {
            throw refusal(QStringLiteral("Folder '%1' does not exist").arg(target.location));
        }
    } else {
        throw refusal(QStringLiteral("Unknown workspace factory '%1'")
                          .arg(workspace->WorkspaceFactoryProgID()));
    }
    // Hidden ".conflux-" names are the merge's own temporaries, which a later run clears away.
    const bool temporaryName =
        !target.takesValues() && target.name.startsWith(QStringLiteral(".conflux-"));
    if (target.name.trimmed().isEmpty() || target.name.contains(QLatin1Char('/')) ||
        temporaryName) {
        throw refusal(QStringLiteral("'%1' is no valid output name").arg(target.name));
    }
    if (!geometryKindOf(target.shapeType) || output.FeatureType() != 1) {
        throw refusal(QStringLiteral("Shape type %1 cannot be written").arg(target.shapeType));
    }
    return target;
}

void MergeTarget::refuseOverwriting(const std::vector<QString>& sources) const {
    if (takesValues()) {
        return;
    }
    const QString folder = FileEntry::canonicalPath(location);
    for (const QString& source : sources) {
        const qsizetype slash = source.lastIndexOf(QLatin1Char('/'));
        const QString sourceFolder = slash < 0 ? QStringLiteral(".") : source.left(slash + 1);
        if (FileEntry::canonicalPath(sourceFolder) == folder &&
            ShapefileFiles::baseName(source).compare(name, Qt::CaseInsensitive) == 0) {
            throw refusal(QStringLiteral("The output '%1' is one of the merge's own files ('%2'); "
                                         "choose another name or folder")
                              .arg(name, source));
        }
    }
}
