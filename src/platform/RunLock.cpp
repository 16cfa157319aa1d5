#include "platform/RunLock.h"

#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

RunLock takeRunLock(int fd, const QByteArray& path, bool wait) {
    int result;
    do {
        result = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        return errno == EWOULDBLOCK ? RunLock::Busy : RunLock::Unsupported;
    struct stat open {};
    struct stat named {};
    const bool same = ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 &&
                      open.st_dev == named.st_dev && open.st_ino == named.st_ino;
    return same ? RunLock::Taken : RunLock::Busy;
}
