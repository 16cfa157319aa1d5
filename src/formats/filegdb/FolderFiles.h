#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The file operations behind an undoable write into a folder, on names as the file system
// holds them (bytes). Folder arguments end with "/". Functions returning int give 0 for
// success, else the errno value of the failure.
namespace FolderFiles {

// The names of the regular files (not links, pipes or folders) in `folder`, sorted.
QList<QByteArray> regularFiles(const QByteArray& folder);
// The names of the sub-folders of `folder` (links not followed).
QList<QByteArray> subfolders(const QByteArray& folder);

// Copies the regular file `from` to the new file `to` with its contents, permissions and
// modification time.
int copyFile(const QByteArray& from, const QByteArray& to);
// Removes the regular files in `folder`, then the folder itself; best effort.
void removeFolder(const QByteArray& folder);

// Writes `names` to the new file `path` (through a temporary and a rename, so that `path`
// holds either the whole list or nothing). Not synced: the undo covers a killed process, not a
// power cut.
int writeNames(const QByteArray& path, const QList<QByteArray>& names);
// The names written by writeNames; nullopt when `path` is missing or unreadable.
std::optional<QList<QByteArray>> readNames(const QByteArray& path);

}  // namespace FolderFiles
