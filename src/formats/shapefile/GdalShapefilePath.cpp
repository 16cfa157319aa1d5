#include "formats/shapefile/GdalShapefilePath.h"

#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"
#include "platform/RunLock.h"
#include "shapefile/ShapefileFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The files GDAL opens for reading a shapefile, each tried in lower case, then upper case.
const char* const kOpenedByGdal[] = {"shp", "shx", "dbf", "cpg", "prj"};

// The stem of `shpPath` with its folder: "/a/roads." for "/a/roads.shp".
QString stemOf(const QString& shpPath) {
    return shpPath.left(shpPath.lastIndexOf(QLatin1Char('/')) + 1) +
           ShapefileFiles::baseName(shpPath) + QLatin1Char('.');
}

// The file of a shapefile's that the merge reads for `extension`: the .shp itself, or its
// companion (regular files only); empty for none.
QString ownFile(const QString& shpPath, const QString& extension) {
    if (extension == QLatin1String("shp"))
        return FileEntry::isRegularFile(shpPath) ? shpPath : QString();
    return ShapefileFiles::sidecar(shpPath, extension);
}

// Whether GDAL, left to itself, would open anything but the shapefile's own regular files: it
// takes, for each extension, the lower-case name when something has it and the upper-case one
// otherwise, so a named pipe would stop it, and of "roads.shp" and "roads.SHP" side by side it
// would read the first for both.
bool gdalWouldStray(const QString& shpPath) {
    const QString stem = stemOf(shpPath);
    for (const char* extension : kOpenedByGdal) {
        const QString lower = QString::fromLatin1(extension);
        QString taken = stem + lower;
        if (FileEntry::kind(taken) == FileEntry::Kind::Missing)
            taken = stem + lower.toUpper();
        const FileEntry::Kind kind = FileEntry::kind(taken);
        if (kind == FileEntry::Kind::Missing)
            continue;
        if (kind != FileEntry::Kind::RegularFile || taken != ownFile(shpPath, lower))
            return true;
    }
    return false;
}

QByteArray temporaryRoot() {
    const char* root = std::getenv("TMPDIR");
    return root && *root ? QByteArray(root) : QByteArray("/tmp");
}

constexpr char kViewPrefix[] = "conflux-view-";
constexpr char kLockName[] = "/.lock";

// Removes the private folders of processes that died with them: those whose lock file nobody
// holds. Only their links and lock file go; a folder without a lock file (one being made) stays.
void removeDeadViews(const QByteArray& root) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(root.constData()), ::closedir);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strncmp(entry->d_name, kViewPrefix, sizeof kViewPrefix - 1) != 0)
            continue;
        const QByteArray folder = root + '/' + entry->d_name;
        const QByteArray lockPath = folder + kLockName;
        const UniqueFd lock = UniqueFd::openRegularFile(lockPath.constData());
        if (!lock.isOpen() || takeRunLock(lock.get(), lockPath, false) != RunLock::Taken)
            continue;
        const std::unique_ptr<DIR, int (*)(DIR*)> view(::opendir(folder.constData()), ::closedir);
        while (const dirent* link = view ? ::readdir(view.get()) : nullptr) {
            const QByteArray path = folder + '/' + link->d_name;
            struct stat info {};
            if (::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode))
                ::unlink(path.constData());
        }
        ::unlink(lockPath.constData());
        ::rmdir(folder.constData());
    }
}

}  // namespace

GdalShapefilePath::GdalShapefilePath(const QString& shpPath)
    : m_path(FileNameCodec::encode(shpPath)) {
    if (gdalWouldStray(shpPath))
        linkRegularFiles(shpPath);
}

GdalShapefilePath::~GdalShapefilePath() {
    for (const QByteArray& link : m_links)
        ::unlink(link.constData());
    if (!m_privateFolder.isEmpty()) {
        ::unlink((m_privateFolder + kLockName).constData());
        ::rmdir(m_privateFolder.constData());
    }
}

// Without the private folder (no room in the temporary folder) GDAL is handed nothing that
// opens, and the shapefile fails to open with GDAL's own message rather than hanging.
void GdalShapefilePath::linkRegularFiles(const QString& shpPath) {
    const QString stem = stemOf(shpPath);
    const qsizetype slash = stem.lastIndexOf(QLatin1Char('/'));
    removeDeadViews(temporaryRoot());
    QByteArray folder = temporaryRoot() + '/' + kViewPrefix + "XXXXXX";
    if (!::mkdtemp(folder.data())) {
        m_path = folder + '/' + FileNameCodec::encode(shpPath.mid(slash + 1));
        return;
    }
    m_privateFolder = folder;
    // Locked before it takes its name, so no other process ever finds it free.
    const QByteArray lockPath = folder + kLockName;
    const QByteArray newLock = lockPath + ".new";
    m_lock = UniqueFd(::open(newLock.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (m_lock.isOpen() && takeRunLock(m_lock.get(), newLock, false) == RunLock::Taken)
        ::rename(newLock.constData(), lockPath.constData());
    else
        ::unlink(newLock.constData());
    m_ownFolder = slash < 0 ? QByteArray(".") : FileNameCodec::encode(stem.left(slash));
    m_path = folder + '/' + FileNameCodec::encode(shpPath.mid(slash + 1));
    // One link an extension, to the file the merge reads: GDAL finds nothing else there.
    for (const char* extension : kOpenedByGdal) {
        const QString own = ownFile(shpPath, QString::fromLatin1(extension));
        const QString target = FileEntry::canonicalPath(own);
        if (own.isEmpty() || target.isEmpty())
            continue;
        const QByteArray link = folder + '/' + FileNameCodec::encode(own.mid(slash + 1));
        if (::symlink(FileNameCodec::encode(target).constData(), link.constData()) == 0)
            m_links.append(link);
    }
}

QString GdalShapefilePath::shown(const QString& text) const {
    if (m_privateFolder.isEmpty())
        return text;
    QString result = text;
    return result.replace(FileNameCodec::decode(m_privateFolder),
                          FileNameCodec::decode(m_ownFolder));
}
