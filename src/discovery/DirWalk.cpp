#include "discovery/DirWalk.h"

#include "discovery/PathNames.h"
#include "platform/FileNameCodec.h"

#include <QList>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

namespace {

struct Entry {
    QByteArray name;
    bool isFolder = false;
};

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// Regular files and folders of one folder in listing order; hidden and other entries left
// out. An unreadable folder lists nothing.
QList<Entry> listFolder(const QByteArray& folderBytes) {
    QList<Entry> entries;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folderBytes.constData()));
    if (!dir)
        return entries;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        bool isFile = entry->d_type == DT_REG;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            if (fstatat(dirfd(dir.get()), entry->d_name, &info, 0) != 0)
                continue;  // a dangling link or an entry gone meanwhile
            isFile = S_ISREG(info.st_mode);
            isFolder = S_ISDIR(info.st_mode);
        }
        if (isFile || isFolder)
            entries.append(Entry{QByteArray(entry->d_name), isFolder});
    }
    return entries;
}

// Takes one level back off the counter however the walk of a folder ends.
class LevelGuard {
public:
    explicit LevelGuard(int& counter) : m_counter(counter) { ++m_counter; }
    ~LevelGuard() { --m_counter; }
    LevelGuard(const LevelGuard&) = delete;
    LevelGuard& operator=(const LevelGuard&) = delete;

private:
    int& m_counter;
};

}  // namespace

DirWalk::DirWalk(const QString& fileMask, const QString& dirMask, std::function<double()> depth,
                 std::function<void()> progress)
    : m_fileMask(fileMask),
      m_dirMask(dirMask),
      m_depth(std::move(depth)),
      m_progress(std::move(progress)) {}

std::optional<QStringList> DirWalk::DirList(const QString& StartDir, int& recursCount) const {
    QString folder = StartDir;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    QStringList found;
    if (!walk(folder, FileNameCodec::encode(folder), recursCount, found))
        return std::nullopt;
    return found;
}

bool DirWalk::walk(const QString& folder, const QByteArray& folderBytes, int& recursCount,
                   QStringList& found) const {
    const LevelGuard level(recursCount);
    if (m_depth() + 1 <= recursCount)
        return false;
    const QList<Entry> entries = listFolder(folderBytes);
    QString folderCopy = folder;
    const bool folderQualifies = m_dirMask.matches(GetLastDir(folderCopy));
    QList<const Entry*> subFolders;
    for (const Entry& entry : entries) {
        if (!entry.isFolder) {
            const QString name = FileNameCodec::decode(entry.name);
            if (folderQualifies && m_fileMask.matches(name))
                found.append(folder + name);
        }
        if (m_progress)
            m_progress();
    }
    for (const Entry& entry : entries) {
        if (entry.isFolder)
            subFolders.append(&entry);
        if (m_progress)
            m_progress();
    }
    for (const Entry* sub : subFolders) {
        walk(folder + FileNameCodec::decode(sub->name) + QLatin1Char('/'),
             folderBytes + sub->name + '/', recursCount, found);
    }
    return true;
}

double leadingNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() &&
        (trimmed[end] == QLatin1Char('-') || trimmed[end] == QLatin1Char('+')))
        ++end;
    bool digits = false;
    bool point = false;
    for (; end < trimmed.size(); ++end) {
        const QChar c = trimmed[end];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            break;
    }
    return digits ? trimmed.left(end).toDouble() : 0.0;
}
