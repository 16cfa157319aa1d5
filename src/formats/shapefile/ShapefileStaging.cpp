#include "formats/shapefile/ShapefileStaging.h"

#include "errors/ConfluxError.h"
#include "formats/shapefile/ReplaceJournal.h"
#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"
#include "platform/RunLock.h"

#include <QList>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

const QByteArray kPrefix = ".conflux-";
const QByteArray kOldPrefix = ".conflux-old-";

// Files that belong to a shapefile besides .shp; an index or declaration left from a replaced
// shapefile would misdescribe the new one.
const QStringList kCompanions{"shp", "shx", "dbf", "prj", "cpg", "sbn", "sbx",
                              "qix", "fbn", "fbx", "ain", "aih", "atx", "shp.xml"};

QByteArray randomTag() {
    return QByteArray::number(QRandomGenerator::global()->generate64(), 36);
}

QByteArray folderBytes(const QString& folder) {
    QByteArray bytes = FileNameCodec::encode(folder);
    return bytes.endsWith('/') ? bytes : bytes + '/';
}

bool present(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

bool isFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The tag of one of the staging's file names (13 or fewer of [0-9a-z], as randomTag makes
// them); empty for any other name.
QByteArray tagOf(const QByteArray& name) {
    const QByteArray& prefix = name.startsWith(kOldPrefix) ? kOldPrefix : kPrefix;
    const qsizetype dot = name.indexOf('.', prefix.size());
    if (!name.startsWith(prefix) || dot <= prefix.size() || dot - prefix.size() > 13)
        return {};
    const QByteArray tag = name.mid(prefix.size(), dot - prefix.size());
    for (const char c : tag) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return {};
    }
    return tag;
}

// What follows the tag: "shp", "lock", "journal", ...
QString extensionOf(const QByteArray& name) {
    return QString::fromLatin1(name.mid(name.indexOf('.', 1) + 1));
}

// Clears the files of `tag`, unless a live run holds its lock. Files of a tag without a lock
// file come from older versions, which kept no journal: their temporary shapefiles go, their
// backups stay for a person to look at, since where those belong is unknown.
void recoverTag(const QByteArray& folder, const QByteArray& tag, const QList<QByteArray>& names) {
    const QByteArray lockPath = folder + kPrefix + tag + ".lock";
    const UniqueFd lock(::open(lockPath.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!lock.isOpen() && errno != ENOENT)
        return;
    if (lock.isOpen() && takeRunLock(lock.get(), lockPath, false) != RunLock::Taken)
        return;
    const QByteArray journalPath = folder + kPrefix + tag + ".journal";
    QList<QByteArray> leftovers = names;
    if (present(journalPath)) {
        const auto journal = ReplaceJournal::read(journalPath);
        if (!journal || !journal->undo(folder))
            return;  // left as found rather than lose a file that is not back in place
        ::unlink(journalPath.constData());
        for (const ReplaceJournal::Rename& placed : journal->placed)
            leftovers.append(placed.from);  // new files, back under their hidden names
    }
    for (const QByteArray& name : leftovers) {
        if (tagOf(name) != tag || folder + name == lockPath)
            continue;
        // Without a lock file only what older versions wrote is known to be theirs: the
        // temporary shapefile's files, never backups.
        const bool ours = lock.isOpen() ||
                          (!name.startsWith(kOldPrefix) && kCompanions.contains(extensionOf(name)));
        if (ours)
            ::unlink((folder + name).constData());
    }
    if (lock.isOpen())
        ::unlink(lockPath.constData());
}

}  // namespace

QList<QString> ShapefileStaging::existingFiles(const QString& folder, const QString& name) {
    QList<QString> found;
    const QByteArray dir = folderBytes(folder);
    const QString prefix = name + QLatin1Char('.');
    for (const QString& entry : FileEntry::names(folder)) {
        if (entry.size() > prefix.size() && entry.startsWith(prefix, Qt::CaseInsensitive) &&
            kCompanions.contains(entry.mid(prefix.size()), Qt::CaseInsensitive) &&
            !isFolder(dir + FileNameCodec::encode(entry)))
            found.append(entry);
    }
    return found;
}

namespace {

#ifdef CONFLUX_FAULT_INJECTION
// Fault injection for the kill tests: CONFLUX_KILL_AT=<point> ends the process at that point
// the way a power cut or SIGKILL would, with no chance to clean up.
void killPoint(const QByteArray& point) {
    static const QByteArray wanted = qgetenv("CONFLUX_KILL_AT");
    if (!wanted.isEmpty() && wanted == point)
        ::raise(SIGKILL);
}
#else
void killPoint(const QByteArray&) {}
#endif

}  // namespace

ShapefileStaging::ShapefileStaging(const QString& folder, const QString& name)
    : m_folder(folder), m_name(name), m_folderBytes(folderBytes(folder)) {
    recoverFolder(folder);
    claimTag();
}

ShapefileStaging::~ShapefileStaging() {
    if (!m_placed)
        removeTemporaries();
    if (!m_journalLeft)
        ::unlink(path(kPrefix + m_tag + ".lock").constData());
}

QString ShapefileStaging::tempPath(const QString& extension) const {
    return FileNameCodec::decode(path(kPrefix + m_tag + '.' + extension.toLatin1()));
}

QString ShapefileStaging::outputPath() const {
    return FileNameCodec::decode(m_folderBytes) + m_name + QStringLiteral(".shp");
}

void ShapefileStaging::claimTag() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_tag = randomTag();
        const QByteArray lockPath = path(kPrefix + m_tag + ".lock");
        UniqueFd lock(
            ::open(lockPath.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!lock.isOpen() && errno == EEXIST)
            continue;
        if (!lock.isOpen()) {
            throw ConfluxError(ErrorNumber::HostFailure,
                               QStringLiteral("Cannot write '%1': %2")
                                   .arg(outputPath(), FileEntry::systemErrorText(errno)));
        }
        // For people who look: which process the files belong to.
        const QByteArray owner = QByteArray::number(qint64(::getpid())) + '\n';
        if (::write(lock.get(), owner.constData(), size_t(owner.size())) < 0) {
            // The lock works without its text.
        }
        // A file system without locks: the files are never taken for a dead run's.
        if (takeRunLock(lock.get(), lockPath, true) != RunLock::Busy) {
            m_lock = std::move(lock);
            return;
        }
    }
    throw ConfluxError(
        ErrorNumber::HostFailure,
        QStringLiteral("Cannot write '%1': no free temporary name").arg(outputPath()));
}

void ShapefileStaging::recoverFolder(const QString& folder) {
    const QByteArray dir = folderBytes(folder);
    QList<QByteArray> names;
    QSet<QByteArray> tags;
    for (const QString& entry : FileEntry::names(folder)) {
        const QByteArray name = FileNameCodec::encode(entry);
        const QByteArray tag = tagOf(name);
        if (!tag.isEmpty()) {
            names.append(name);
            tags.insert(tag);
        }
    }
    for (const QByteArray& tag : tags)
        recoverTag(dir, tag, names);
}

void ShapefileStaging::failReplace(const QString& what, int cause) {
    throw ConfluxError(
        ErrorNumber::HostFailure,
        QStringLiteral("%1 '%2': %3").arg(what, outputPath(), FileEntry::systemErrorText(cause)));
}

void ShapefileStaging::replaceExisting() {
    killPoint("staged");
    ReplaceJournal journal;
    // Numbered aside: "roads.shp" and "ROADS.SHP" may both be there.
    for (const QString& entry : existingFiles(m_folder, m_name)) {
        const QByteArray extension = FileNameCodec::encode(entry.mid(m_name.size() + 1));
        journal.movedAside.append(
            {FileNameCodec::encode(entry), kOldPrefix + m_tag + '.' +
                                               QByteArray::number(journal.movedAside.size()) + '.' +
                                               extension});
    }
    for (const QString& extension : kCompanions) {
        const QByteArray temporary = kPrefix + m_tag + '.' + extension.toLatin1();
        if (present(path(temporary)))
            journal.placed.append({temporary, FileNameCodec::encode(m_name + '.' + extension)});
    }
    const QString what = journal.movedAside.isEmpty() ? QStringLiteral("Cannot write")
                                                      : QStringLiteral("Cannot replace");
    const QByteArray journalPath = path(kPrefix + m_tag + ".journal");
    if (!journal.write(journalPath))
        failReplace(what, errno);
    killPoint("journal");
    const auto rollBack = [&](int cause) {
        m_journalLeft = !journal.undo(m_folderBytes);
        if (!m_journalLeft)
            ::unlink(journalPath.constData());
        failReplace(what, cause);
    };
    int step = 0;
    for (const auto* list : {&journal.movedAside, &journal.placed}) {
        for (const ReplaceJournal::Rename& rename : *list) {
            if (::rename(path(rename.from).constData(), path(rename.to).constData()) != 0)
                rollBack(errno);
            killPoint("rename-" + QByteArray::number(++step));
        }
    }
    // The replacement is complete once its journal is gone; the backups are only garbage now.
    if (::unlink(journalPath.constData()) != 0)
        rollBack(errno);
    m_placed = true;
    killPoint("committed");
    for (const ReplaceJournal::Rename& aside : journal.movedAside)
        ::unlink(path(aside.to).constData());
}

void ShapefileStaging::removeTemporaries() {
    if (m_journalLeft)
        return;  // the next run puts the files back first
    const QByteArray stem = kPrefix + m_tag + '.';
    for (const QString& entry : FileEntry::names(m_folder)) {
        const QByteArray name = FileNameCodec::encode(entry);
        if (name.startsWith(stem) && name != stem + "lock")
            ::unlink(path(name).constData());
    }
}
