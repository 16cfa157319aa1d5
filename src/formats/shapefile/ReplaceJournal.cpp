#include "formats/shapefile/ReplaceJournal.h"

#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Format: this line, then one record per rename: a kind byte ('A' moved aside, 'P' placed),
// the old name, NUL, the new name, NUL. Names may hold any byte but "/" and NUL.
const QByteArray kMagic = "conflux replace journal 1\n";
constexpr qint64 kMaxJournal = 1 << 20;

bool present(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += wrote;
    }
    return true;
}

bool validName(const QByteArray& name) {
    return !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
}

}  // namespace

bool ReplaceJournal::write(const QByteArray& path) const {
    QByteArray bytes = kMagic;
    for (const auto& [kind, list] : {std::pair{'A', &movedAside}, std::pair{'P', &placed}}) {
        for (const Rename& rename : *list)
            bytes += kind + rename.from + '\0' + rename.to + '\0';
    }
    // Written under another name and renamed: a journal is never seen half written.
    const QByteArray part = path + ".part";
    bool written = false;
    {
        const UniqueFd fd(::open(part.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        written = fd.isOpen() && writeAll(fd.get(), bytes);
    }
    if (written && ::rename(part.constData(), path.constData()) == 0)
        return true;
    const int cause = errno;
    ::unlink(part.constData());
    errno = cause;
    return false;
}

std::optional<ReplaceJournal> ReplaceJournal::read(const QByteArray& path) {
    const UniqueFd fd = UniqueFd::openRegularFile(path.constData());
    QByteArray bytes(kMaxJournal, '\0');
    const ssize_t got = fd.isOpen() ? ::pread(fd.get(), bytes.data(), kMaxJournal, 0) : -1;
    if (got < kMagic.size() || !bytes.startsWith(kMagic))
        return std::nullopt;
    bytes.resize(got);
    ReplaceJournal journal;
    qsizetype at = kMagic.size();
    while (at < bytes.size()) {
        const char kind = bytes.at(at++);
        const qsizetype fromEnd = bytes.indexOf('\0', at);
        const qsizetype toEnd = fromEnd < 0 ? -1 : bytes.indexOf('\0', fromEnd + 1);
        if (toEnd < 0 || (kind != 'A' && kind != 'P'))
            return std::nullopt;
        Rename rename{bytes.mid(at, fromEnd - at), bytes.mid(fromEnd + 1, toEnd - fromEnd - 1)};
        if (!validName(rename.from) || !validName(rename.to))
            return std::nullopt;
        (kind == 'A' ? journal.movedAside : journal.placed).append(rename);
        at = toEnd + 1;
    }
    return journal;
}

bool ReplaceJournal::undo(const QByteArray& folder) const {
    bool whole = true;
    for (qsizetype i = placed.size() - 1; i >= 0; --i) {
        const QByteArray temporary = folder + placed[i].from;
        const QByteArray target = folder + placed[i].to;
        // Renames are atomic: the temporary name is gone exactly when the file was placed.
        if (!present(temporary) && present(target) &&
            ::rename(target.constData(), temporary.constData()) != 0)
            whole = false;
    }
    for (qsizetype i = movedAside.size() - 1; i >= 0; --i) {
        const QByteArray backup = folder + movedAside[i].to;
        if (present(backup) &&
            ::rename(backup.constData(), (folder + movedAside[i].from).constData()) != 0)
            whole = false;
    }
    return whole;
}
