#include "merge/OutputTarget.h"

#include "formats/shapefile/ShapefileStaging.h"
#include "platform/FileEntry.h"

namespace {

QString shapefilePath(const QString& path, const QString& name) {
    return path + QLatin1Char('/') + name + QStringLiteral(".shp");
}

}  // namespace

OutputCheck checkShapefileOutput(const QString& path, const QString& name) {
    if (path.isEmpty() || !FileEntry::exists(path))
        return OutputCheck::MissingFolder;
    // An output that a killed run had moved aside counts: it is put back before the look.
    if (FileEntry::isFolder(path))
        ShapefileStaging::recoverFolder(path);
    // A file of that name in any letter case is part of the existing output.
    if (FileEntry::isFolder(path) && !ShapefileStaging::existingFiles(path, name).isEmpty())
        return OutputCheck::ExistingShapefile;
    return OutputCheck::Ready;
}

OutputCheck checkGeodatabaseOutput(const QString& path) {
    const QString upper = path.toUpper();
    const bool file =
        upper.endsWith(QStringLiteral(".MDB")) || upper.endsWith(QStringLiteral(".GPKG"));
    // A File Geodatabase is a folder of tables.
    const bool folder = upper.endsWith(QStringLiteral(".GDB"));
    const bool ready =
        (file && FileEntry::isRegularFile(path)) || (folder && FileEntry::isFolder(path));
    return ready ? OutputCheck::Ready : OutputCheck::MissingGeodatabase;
}

QString chosenGeodatabase(const QString& chosen) {
    const auto isGdb = [](const QString& path) {
        return path.toUpper().endsWith(QStringLiteral(".GDB"));
    };
    QString path = chosen;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (isGdb(path))
        return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash > 0 ? path.left(slash) : QString();
    return isGdb(folder) ? folder : chosen;
}

QString missingFolderText(const QString& path) {
    return QStringLiteral("Directory ") + path + QStringLiteral(" is not exist!!");
}

QString replaceQuestionText(const QString& path, const QString& name) {
    return QStringLiteral("Файл ") + shapefilePath(path, name) + QStringLiteral(" существует ") +
           QStringLiteral("\r\n") + QStringLiteral("Заменить?");
}

QString missingGeodatabaseText(const QString& path) {
    return QStringLiteral("File  ") + path + QStringLiteral(" is not exist!!");
}

OutputPlace describeOutput(bool shapefile, const QString& path, const QString& name) {
    OutputPlace place;
    place.kind = shapefile                                         ? OutputKind::ShapefileFolder
                 : path.toUpper().endsWith(QStringLiteral(".GDB")) ? OutputKind::FileGeodatabase
                                                                   : OutputKind::GeoPackage;
    place.location = path;
    place.name = name;
    return place;
}
