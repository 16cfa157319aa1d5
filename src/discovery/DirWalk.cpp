#include "discovery/DirWalk.h"

#include "discovery/PathNames.h"
#include "platform/FileNameCodec.h"

#include <QList>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Entry {
    QByteArray name;
    QString text;  // the name decoded
    QString key;   // the decoded name in capitals, what the listing is ordered by
    bool isFolder = false;
};

// Names in capitals compared as text, then the exact bytes, so the order is total.
bool listedBefore(const Entry& a, const Entry& b) {
    const int byKey = QString::compare(a.key, b.key, Qt::CaseSensitive);
    return byKey != 0 ? byKey < 0 : a.name < b.name;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool isAncestor(const std::vector<DirWalk::FolderId>& ancestors, const struct stat& info) {
    return std::any_of(ancestors.begin(), ancestors.end(), [&info](const DirWalk::FolderId& id) {
        return id.device == info.st_dev && id.inode == info.st_ino;
    });
}

// Regular files and folders of one folder in case-insensitive name order, the order folder
// listings have on the file systems the scan was made for (Linux lists in hash order, which
// differs from copy to copy); hidden and other entries left out, and so are files that
// `fileMask` excludes by their bytes alone (counted in `passedOver`), which spares decoding
// and ordering the many companions of each shapefile. An unreadable folder lists nothing, and
// so does a folder that is one of `ancestors` (reached again through a link); otherwise the
// folder's identity is added to `ancestors`.
QList<Entry> listFolder(const QByteArray& folderBytes, const WildcardMask& fileMask,
                        std::vector<DirWalk::FolderId>& ancestors, qsizetype& passedOver) {
    QList<Entry> entries;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folderBytes.constData()));
    if (!dir)
        return entries;
    struct stat self {};
    if (fstat(dirfd(dir.get()), &self) != 0 || isAncestor(ancestors, self))
        return entries;
    ancestors.push_back({self.st_dev, self.st_ino});
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
        if (isFile && fileMask.excludes(QByteArrayView(entry->d_name))) {
            ++passedOver;
            continue;
        }
        if (isFile || isFolder) {
            QString text = FileNameCodec::decode(entry->d_name);
            QString key = text.toUpper();
            entries.append(
                Entry{QByteArray(entry->d_name), std::move(text), std::move(key), isFolder});
        }
    }
    std::sort(entries.begin(), entries.end(), listedBefore);
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
    std::vector<FolderId> ancestors;
    if (!walk(folder, FileNameCodec::encode(folder), recursCount, ancestors, found))
        return std::nullopt;
    return found;
}

bool DirWalk::walk(const QString& folder, const QByteArray& folderBytes, int& recursCount,
                   std::vector<FolderId>& ancestors, QStringList& found) const {
    const LevelGuard level(recursCount);
    if (m_depth() + 1 <= recursCount)
        return false;
    const std::size_t ancestorCount = ancestors.size();
    qsizetype passedOver = 0;
    const QList<Entry> entries = listFolder(folderBytes, m_fileMask, ancestors, passedOver);
    QString folderCopy = folder;
    const bool folderQualifies = m_dirMask.matches(GetLastDir(folderCopy));
    QList<const Entry*> subFolders;
    for (const Entry& entry : entries) {
        if (!entry.isFolder && folderQualifies && m_fileMask.matches(entry.text))
            found.append(folder + entry.text);
        if (m_progress)
            m_progress();
    }
    for (qsizetype i = 0; m_progress && i < passedOver; ++i)
        m_progress();
    for (const Entry& entry : entries) {
        if (entry.isFolder)
            subFolders.append(&entry);
        if (m_progress)
            m_progress();
    }
    for (const Entry* sub : subFolders) {
        walk(folder + sub->text + QLatin1Char('/'), folderBytes + sub->name + '/', recursCount,
             ancestors, found);
    }
    ancestors.resize(ancestorCount);
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
