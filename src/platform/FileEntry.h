#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// File system entries named by the paths FileNameCodec builds, looked up through their own
// bytes. Qt's file classes recode names through UTF-8 and lose any name that is not valid
// UTF-8 (common in names unpacked from old archives), so paths go through these instead.
namespace FileEntry {

enum class Kind { Missing, RegularFile, Folder, Other };

// What `path` names, symbolic links followed; Other for pipes, devices and sockets.
Kind kind(const QString& path);
inline bool exists(const QString& path) {
    return kind(path) != Kind::Missing;
}
inline bool isRegularFile(const QString& path) {
    return kind(path) == Kind::RegularFile;
}
inline bool isFolder(const QString& path) {
    return kind(path) == Kind::Folder;
}
// The size of a regular file; nullopt for anything else.
std::optional<std::int64_t> regularFileSize(const QString& path);

// The names in `folder` ("." and ".." left out), in listing order; empty when it cannot be read.
QStringList names(const QString& folder);

// The absolute path with every link, "." and ".." resolved; empty when it does not exist.
QString canonicalPath(const QString& path);

// The system's text for an errno value ("No space left on device").
QString systemErrorText(int errorNumber);

}  // namespace FileEntry
