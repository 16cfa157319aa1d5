#include "formats/NewGeodatabase.h"

#include "errors/ConfluxError.h"
#include "formats/filegdb/FolderFiles.h"
#include "gdal/GdalErrorCapture.h"
#include "gdal/GdalOpen.h"
#include "platform/FileEntry.h"

#include <gdal_priv.h>

#include <QRandomGenerator>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

bool isGeoPackage(const QString& path) {
    return path.toUpper().endsWith(QStringLiteral(".GPKG"));
}

bool isFileGeodatabase(const QString& path) {
    return path.toUpper().endsWith(QStringLiteral(".GDB"));
}

// A hidden name beside `path` with its ending.
QString stagingPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString tag = QString::number(QRandomGenerator::global()->generate64(), 36);
    return path.left(slash + 1) + QStringLiteral(".conflux-new-") + tag +
           (isGeoPackage(path) ? QStringLiteral(".gpkg") : QStringLiteral(".gdb"));
}

void removeStaging(const QString& staging) {
    const QByteArray bytes = GdalOpen::toGdalPath(staging);
    if (FileEntry::isFolder(staging)) {
        FolderFiles::removeFolder(bytes + '/');
    } else {
        ::unlink(bytes.constData());
    }
}

// Renames `from` to `to` unless `to` exists; 0 or errno.
int renameWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system that cannot rename so: look first, and accept the narrow race.
    if (::access(to.constData(), F_OK) == 0) {
        return EEXIST;
    }
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

ConfluxError cannotCreate(const QString& path, const QString& cause) {
    return ConfluxError(ErrorNumber::HostFailure,
                        QStringLiteral("Cannot create '%1': %2").arg(path, cause));
}

}  // namespace

void removeNewGeodatabase(const QString& path) {
    removeStaging(path);
}

bool canCreateGeodatabase(const QString& path) {
    return isGeoPackage(path) || isFileGeodatabase(path);
}

void createGeodatabase(const QString& path) {
    if (!canCreateGeodatabase(path)) {
        throw cannotCreate(path, QStringLiteral("a new geodatabase ends in .gpkg or .gdb"));
    }
    if (FileEntry::exists(path)) {
        throw cannotCreate(path, FileEntry::systemErrorText(EEXIST));
    }
    GdalErrorCapture errors;
    GDALDriver* driver =
        GetGDALDriverManager()->GetDriverByName(isGeoPackage(path) ? "GPKG" : "OpenFileGDB");
    const QString staging = stagingPath(path);
    GDALDatasetUniquePtr dataset(driver ? driver->Create(GdalOpen::toGdalPath(staging).constData(),
                                                         0, 0, 0, GDT_Unknown, nullptr)
                                        : nullptr);
    dataset.reset();
    if (errors.failureCount() > 0 || !FileEntry::exists(staging)) {
        removeStaging(staging);
        throw cannotCreate(
            path, errors.lastFailure().isEmpty() ? QStringLiteral("failed") : errors.lastFailure());
    }
    if (const int error =
            renameWithoutReplacing(GdalOpen::toGdalPath(staging), GdalOpen::toGdalPath(path))) {
        removeStaging(staging);
        throw cannotCreate(path, FileEntry::systemErrorText(error));
    }
}
