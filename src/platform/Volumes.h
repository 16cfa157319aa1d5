#pragma once

#include <QList>
#include <QString>

// The drives of this computer are its mounted volumes.
struct Volume {
    QString name;      // what the user recognises: the volume's display name
    QString rootPath;  // its mount point, "/" for the root file system

    bool operator==(const Volume&) const = default;
};

namespace Volumes {

// The mounted volumes that hold real file systems (no proc, sysfs, cgroup or device
// pseudo file systems), the root file system first, then by mount point.
QList<Volume> mounted();

// Whether the volume can be browsed now: its mount point is a readable folder.
bool isReady(const Volume& volume);

// The index of the volume that holds `path` (the longest mount point that is a whole-component
// prefix of it), or -1 when none does or the path is not absolute.
qsizetype holding(const QList<Volume>& volumes, const QString& path);

// The text a drive list shows for a volume: its name, with its mount point when they differ.
QString caption(const Volume& volume);

}  // namespace Volumes
