#include "formats/filegdb/FileGdbUndo.h"

#include "formats/filegdb/FileGdbError.h"
#include "formats/filegdb/FolderFiles.h"
#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"
#include "platform/RunLock.h"

#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

const QByteArray kPrefix = ".conflux-undo-";
const QByteArray kManifest = "manifest";

QString systemText(int error) {
    return FileEntry::systemErrorText(error);
}

// The tag of a lock file name ".conflux-undo-TAG.lock"; empty for other names.
QByteArray tagOfLock(const QByteArray& name) {
    if (!name.startsWith(kPrefix) || !name.endsWith(".lock")) {
        return {};
    }
    return name.mid(kPrefix.size(), name.size() - kPrefix.size() - 5);
}

// Moves the backups of `backup` back into `folder`, then removes every file the manifest
// does not name. The names of what could not be put back.
QStringList restore(const QByteArray& folder, const QByteArray& backup,
                    const QList<QByteArray>& manifest) {
    QStringList problems;
    for (const QByteArray& name : FolderFiles::regularFiles(backup)) {
        if (name != kManifest &&
            ::rename((backup + name).constData(), (folder + name).constData()) != 0) {
            problems << QStringLiteral("%1 (%2)").arg(FileNameCodec::decode(name),
                                                      systemText(errno));
        }
    }
    const QSet<QByteArray> before(manifest.cbegin(), manifest.cend());
    for (const QByteArray& name : FolderFiles::regularFiles(folder)) {
        if (!before.contains(name) && !name.startsWith(kPrefix) &&
            ::unlink((folder + name).constData()) != 0 && errno != ENOENT) {
            problems << QStringLiteral("%1 (%2)").arg(FileNameCodec::decode(name),
                                                      systemText(errno));
        }
    }
    return problems;
}

// Undoes the writes of the dead run `tag` and removes its files. False when its lock is held.
bool recoverTag(const QByteArray& folder, const QByteArray& tag, const QString& shown) {
    const QByteArray lockPath = folder + kPrefix + tag + ".lock";
    const UniqueFd lock(::open(lockPath.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!lock.isOpen()) {
        return errno == ENOENT;  // cleared by another run meanwhile
    }
    if (takeRunLock(lock.get(), lockPath, false) != RunLock::Taken) {
        return false;
    }
    const QByteArray backup = folder + kPrefix + tag + '/';
    if (const auto manifest = FolderFiles::readNames(backup + kManifest)) {
        const QStringList problems = restore(folder, backup, *manifest);
        if (!problems.isEmpty()) {
            throw FileGdbError(
                QStringLiteral("The File Geodatabase '%1' holds the unfinished writes "
                               "of a run that died; they could not be undone: %2")
                    .arg(shown, problems.join(QStringLiteral(", "))));
        }
        ::unlink((backup + kManifest).constData());
    }
    FolderFiles::removeFolder(backup);
    ::unlink(lockPath.constData());
    return true;
}

// Whether the run `tag` holds its lock.
bool isLive(const QByteArray& folder, const QByteArray& tag) {
    const QByteArray lockPath = folder + kPrefix + tag + ".lock";
    const UniqueFd lock(::open(lockPath.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    return lock.isOpen() && takeRunLock(lock.get(), lockPath, false) != RunLock::Taken;
}

// Recovers every dead run's tag, unless a run is live: the tags of the live runs. A dead run's
// undo would take back a live run's writes too, so it waits until none is writing.
QList<QByteArray> recoverAll(const QByteArray& folder, const QString& shown) {
    QList<QByteArray> live;
    QList<QByteArray> tags;
    for (const QByteArray& name : FolderFiles::regularFiles(folder)) {
        if (const QByteArray tag = tagOfLock(name); !tag.isEmpty()) {
            (isLive(folder, tag) ? live : tags) << tag;
        }
    }
    if (!live.isEmpty()) {
        return live;
    }
    for (const QByteArray& tag : tags) {
        if (!recoverTag(folder, tag, shown)) {
            live << tag;
        }
    }
    // Backups without a lock file: their run died before it had one or after removing it.
    for (const QByteArray& name : FolderFiles::subfolders(folder)) {
        const QByteArray tag = name.mid(kPrefix.size());
        if (name.startsWith(kPrefix) && !live.contains(tag) &&
            ::access((folder + kPrefix + tag + ".lock").constData(), F_OK) != 0) {
            const QByteArray backup = folder + name + '/';
            if (::access((backup + kManifest).constData(), F_OK) == 0) {
                continue;  // never guess: a backup with writes to undo needs its lock file
            }
            FolderFiles::removeFolder(backup);
        }
    }
    return live;
}

QByteArray folderBytes(const QString& folder) {
    QByteArray bytes = FileNameCodec::encode(folder);
    return bytes.endsWith('/') ? bytes : bytes + '/';
}

}  // namespace

FileGdbUndo::FileGdbUndo(const QString& folder,
                         const std::function<bool(const QByteArray&)>& isShared)
    : m_shownFolder(folder), m_folder(folderBytes(folder)) {
    if (recoverFolder(folder)) {
        throw busy(folder);
    }
    claimTag();
    try {
        // Two runs that started together see each other now; both stop rather than both write.
        const QList<QByteArray> live = recoverAll(m_folder, m_shownFolder);
        if (live.size() != 1) {
            throw busy(m_shownFolder);
        }
        backUp(isShared);
    } catch (...) {
        release();
        throw;
    }
}

FileGdbUndo::~FileGdbUndo() {
    if (m_done) {
        return;
    }
    try {
        undo();
    } catch (const FileGdbError&) {
        // The backup stays; the next run that writes here finishes the undo.
    }
}

void FileGdbUndo::claimTag() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_tag = QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const QByteArray lockPath = path(kPrefix + m_tag + ".lock");
        UniqueFd lock(
            ::open(lockPath.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!lock.isOpen() && errno == EEXIST) {
            continue;
        }
        if (!lock.isOpen()) {
            throw FileGdbError(QStringLiteral("Cannot write into the File Geodatabase '%1': %2")
                                   .arg(m_shownFolder, systemText(errno)));
        }
        // A file system without locks: the backup is never taken for a dead run's.
        if (takeRunLock(lock.get(), lockPath, true) != RunLock::Busy) {
            m_lock = std::move(lock);
            return;
        }
    }
    throw FileGdbError(QStringLiteral("Cannot write into the File Geodatabase '%1': no lock file "
                                      "could be made")
                           .arg(m_shownFolder));
}

void FileGdbUndo::backUp(const std::function<bool(const QByteArray&)>& isShared) {
    const QByteArray backup = path(kPrefix + m_tag + '/');
    if (::mkdir(backup.constData(), 0700) != 0) {
        throw FileGdbError(QStringLiteral("Cannot write into the File Geodatabase '%1': %2")
                               .arg(m_shownFolder, systemText(errno)));
    }
    QList<QByteArray> names;
    for (const QByteArray& name : FolderFiles::regularFiles(m_folder)) {
        if (name.startsWith(kPrefix)) {
            continue;
        }
        struct stat info {};
        if (::lstat(path(name).constData(), &info) != 0) {
            continue;
        }
        names << name;
        m_before.insert(name, {info.st_dev, info.st_ino, info.st_size, info.st_mtim});
        if (isShared(name)) {
            if (const int error = FolderFiles::copyFile(path(name), backup + name)) {
                throw FileGdbError(
                    QStringLiteral("Cannot back up '%1' of the File Geodatabase "
                                   "'%2': %3")
                        .arg(FileNameCodec::decode(name), m_shownFolder, systemText(error)));
            }
            m_backedUp << name;
        }
    }
    // Written last: a backup without its manifest means nothing was written yet.
    if (const int error = FolderFiles::writeNames(backup + kManifest, names)) {
        throw FileGdbError(QStringLiteral("Cannot back up the File Geodatabase '%1': %2")
                               .arg(m_shownFolder, systemText(error)));
    }
}

void FileGdbUndo::undo() {
    if (m_done) {
        return;
    }
    const QByteArray backup = path(kPrefix + m_tag + '/');
    QStringList problems = restore(m_folder, backup, m_before.keys());
    for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
        struct stat info {};
        const bool same = ::lstat(path(it.key()).constData(), &info) == 0;
        const bool untouched = same && info.st_dev == it->device && info.st_ino == it->inode &&
                               info.st_size == it->size &&
                               info.st_mtim.tv_sec == it->modified.tv_sec &&
                               info.st_mtim.tv_nsec == it->modified.tv_nsec;
        if (!untouched && !m_backedUp.contains(it.key())) {
            problems << QStringLiteral("%1 (changed)").arg(FileNameCodec::decode(it.key()));
        }
    }
    if (!problems.isEmpty()) {
        m_done = true;
        m_lock = UniqueFd();  // the next run takes it over
        throw FileGdbError(QStringLiteral("The File Geodatabase '%1' could not be put back as it "
                                          "was: %2")
                               .arg(m_shownFolder, problems.join(QStringLiteral(", "))));
    }
    release();
}

void FileGdbUndo::keep() {
    if (m_done) {
        return;
    }
    // Without its manifest the backup can no longer undo anything.
    const QByteArray manifest = path(kPrefix + m_tag + '/' + kManifest);
    if (::unlink(manifest.constData()) != 0 && errno != ENOENT) {
        throw FileGdbError(QStringLiteral("Cannot finish writing the File Geodatabase '%1': %2")
                               .arg(m_shownFolder, systemText(errno)));
    }
    release();
}

void FileGdbUndo::release() {
    const QByteArray backup = path(kPrefix + m_tag + '/');
    ::unlink((backup + kManifest).constData());
    FolderFiles::removeFolder(backup);
    ::unlink(path(kPrefix + m_tag + ".lock").constData());
    m_lock = UniqueFd();
    m_done = true;
}

FileGdbError FileGdbUndo::busy(const QString& folder) {
    return FileGdbError(
        QStringLiteral("The File Geodatabase '%1' is being written by another run").arg(folder));
}

bool FileGdbUndo::recoverFolder(const QString& folder) {
    return !recoverAll(folderBytes(folder), folder).isEmpty();
}
