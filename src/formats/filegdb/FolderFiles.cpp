#include "formats/filegdb/FolderFiles.h"

#include "platform/RegularFile.h"
#include "platform/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>

namespace {

QList<QByteArray> entries(const QByteArray& folder, bool wantFolders) {
    QList<QByteArray> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        struct stat info {};
        if (name == "." || name == ".." || ::lstat((folder + name).constData(), &info) != 0) {
            continue;
        }
        if (wantFolders ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode)) {
            names << name;
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Writes all of `bytes` to `fd`; 0 or errno.
int writeAll(int fd, const char* bytes, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        bytes += written;
        size -= written;
    }
    return 0;
}

int copyContents(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : 0;
        }
        if (const int error = writeAll(to, buffer, got)) {
            return error;
        }
    }
}

}  // namespace

namespace FolderFiles {

QList<QByteArray> regularFiles(const QByteArray& folder) {
    return entries(folder, false);
}

QList<QByteArray> subfolders(const QByteArray& folder) {
    return entries(folder, true);
}

int copyFile(const QByteArray& from, const QByteArray& to) {
    const UniqueFd source = UniqueFd::openRegularFile(from.constData());
    struct stat info {};
    if (!source.isOpen() || ::fstat(source.get(), &info) != 0) {
        return errno;
    }
    const UniqueFd target(
        ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
    if (!target.isOpen()) {
        return errno;
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (const int error = copyContents(source.get(), target.get())) {
        return error;
    }
    if (::futimens(target.get(), times) != 0) {
        return errno;
    }
    return 0;
}

void removeFolder(const QByteArray& folder) {
    for (const QByteArray& name : regularFiles(folder)) {
        ::unlink((folder + name).constData());
    }
    ::rmdir(folder.constData());
}

int writeNames(const QByteArray& path, const QList<QByteArray>& names) {
    const QByteArray temporary = path + ".new";
    QByteArray text;
    for (const QByteArray& name : names) {
        text += name + '\0';  // a file name holds no NUL
    }
    int error = 0;
    {
        const UniqueFd file(
            ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (!file.isOpen()) {
            return errno;
        }
        error = writeAll(file.get(), text.constData(), text.size());
    }
    if (error == 0 && ::rename(temporary.constData(), path.constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.constData());
    }
    return error;
}

std::optional<QList<QByteArray>> readNames(const QByteArray& path) {
    const std::optional<QByteArray> text =
        readRegularFile(path, std::numeric_limits<qsizetype>::max());
    if (!text) {
        return std::nullopt;
    }
    QList<QByteArray> names = text->split('\0');
    names.removeLast();  // after the last NUL
    return names;
}

}  // namespace FolderFiles
