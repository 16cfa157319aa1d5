#include "platform/FileEntry.h"

#include "platform/FileNameCodec.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};

}  // namespace

namespace FileEntry {

Kind kind(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(FileNameCodec::encode(path).constData(), &info) != 0)
        return Kind::Missing;
    if (S_ISREG(info.st_mode))
        return Kind::RegularFile;
    return S_ISDIR(info.st_mode) ? Kind::Folder : Kind::Other;
}

std::optional<std::int64_t> regularFileSize(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(FileNameCodec::encode(path).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return std::nullopt;
    return std::int64_t(info.st_size);
}

QStringList names(const QString& folder) {
    QStringList found;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(FileNameCodec::encode(folder).constData()));
    if (!dir)
        return found;
    while (const dirent* entry = readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            found.append(FileNameCodec::decode(entry->d_name));
    }
    return found;
}

QString canonicalPath(const QString& path) {
    const std::unique_ptr<char, FreeDeleter> resolved(
        ::realpath(FileNameCodec::encode(path).constData(), nullptr));
    return resolved ? FileNameCodec::decode(resolved.get()) : QString();
}

QString systemErrorText(int errorNumber) {
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

}  // namespace FileEntry
