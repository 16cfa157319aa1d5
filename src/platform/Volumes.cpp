#include "platform/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace {

bool isRealFileSystem(const QStorageInfo& storage) {
    static const QList<QByteArray> pseudo = {
        "proc",     "sysfs",    "tmpfs",     "devtmpfs",   "devpts",     "cgroup",
        "cgroup2",  "mqueue",   "debugfs",   "tracefs",    "securityfs", "pstore",
        "bpf",      "autofs",   "hugetlbfs", "configfs",   "fusectl",    "binfmt_misc",
        "efivarfs", "squashfs", "nsfs",      "rpc_pipefs", "ramfs"};
    static const QList<QByteArray> network = {"nfs",   "nfs4", "cifs",      "smb3",
                                              "smbfs", "9p",   "fuse.sshfs"};
    const QByteArray type = storage.fileSystemType();
    if (storage.isRoot()) {
        return true;
    }
    if (pseudo.contains(type)) {
        return false;
    }
    return storage.device().startsWith("/dev/") || network.contains(type);
}

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}

bool holds(const QString& root, const QString& path) {
    if (root == QLatin1String("/")) {
        return path.startsWith(QLatin1Char('/'));
    }
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

}  // namespace

namespace Volumes {

QList<Volume> mounted() {
    QList<Volume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !isRealFileSystem(storage)) {
            continue;
        }
        const Volume volume{storage.displayName(), storage.rootPath()};
        if (!volumes.contains(volume)) {
            volumes.append(volume);
        }
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.rootPath < b.rootPath; });
    return volumes;
}

bool isReady(const Volume& volume) {
    const QFileInfo root(volume.rootPath);
    return root.isDir() && root.isReadable() && QDir(volume.rootPath).exists();
}

qsizetype holding(const QList<Volume>& volumes, const QString& path) {
    if (!QDir::isAbsolutePath(path)) {
        return -1;
    }
    const QString clean = QDir::cleanPath(path);
    qsizetype best = -1;
    for (qsizetype i = 0; i < volumes.size(); ++i) {
        const QString root = withoutTrailingSeparator(volumes[i].rootPath);
        if (holds(root, clean) &&
            (best < 0 || root.size() > withoutTrailingSeparator(volumes[best].rootPath).size())) {
            best = i;
        }
    }
    return best;
}

QString caption(const Volume& volume) {
    if (volume.name.isEmpty() || volume.name == volume.rootPath) {
        return volume.rootPath;
    }
    return volume.name + QStringLiteral(" (") + volume.rootPath + QLatin1Char(')');
}

}  // namespace Volumes
