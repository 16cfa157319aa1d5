#include "merge/MergeTarget.h"

#include "errors/ConfluxError.h"
#include "host/GeometryKind.h"
#include "platform/FileEntry.h"
#include "shapefile/ShapefileFiles.h"

namespace MergeTarget {

namespace {
ConfluxError refusal(const QString& text) {
    return ConfluxError(ErrorNumber::HostFailure, text);
}
}  // namespace

void check(const OutputPlace& place, std::int32_t shapeType) {
    switch (place.kind) {
        case OutputKind::FileGeodatabase:
            if (!FileEntry::isFolder(place.location)) {
                throw refusal(
                    QStringLiteral("File Geodatabase '%1' does not exist").arg(place.location));
            }
            break;
        case OutputKind::GeoPackage:
            if (!FileEntry::isRegularFile(place.location)) {
                throw refusal(
                    QStringLiteral("Geodatabase '%1' does not exist").arg(place.location));
            }
            break;
        case OutputKind::ShapefileFolder:
            if (!FileEntry::isFolder(place.location)) {
                throw refusal(QStringLiteral("Folder '%1' does not exist").arg(place.location));
            }
            break;
        case OutputKind::Postgis:
            break;  // the server checks the name and the place, in its transaction
    }
    // Hidden ".conflux-" names are the merge's own temporaries, which a later run clears away.
    const bool temporaryName =
        !place.takesValues() && place.name.startsWith(QStringLiteral(".conflux-"));
    if (place.name.trimmed().isEmpty() || place.name.contains(QLatin1Char('/')) || temporaryName) {
        throw refusal(QStringLiteral("'%1' is no valid output name").arg(place.name));
    }
    if (!geometryKindOf(shapeType)) {
        throw refusal(QStringLiteral("Shape type %1 cannot be written").arg(shapeType));
    }
}

void refuseOverwriting(const OutputPlace& place, const std::vector<QString>& sources) {
    if (place.takesValues()) {
        return;
    }
    const QString folder = FileEntry::canonicalPath(place.location);
    for (const QString& source : sources) {
        const qsizetype slash = source.lastIndexOf(QLatin1Char('/'));
        const QString sourceFolder = slash < 0 ? QStringLiteral(".") : source.left(slash + 1);
        if (FileEntry::canonicalPath(sourceFolder) == folder &&
            ShapefileFiles::baseName(source).compare(place.name, Qt::CaseInsensitive) == 0) {
            throw refusal(QStringLiteral("The output '%1' is one of the merge's own files ('%2'); "
                                         "choose another name or folder")
                              .arg(place.name, source));
        }
    }
}

}  // namespace MergeTarget
