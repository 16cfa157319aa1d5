#pragma once

#include <QByteArray>

// The lock a run holds on its lock file while it works; the system drops it when the process
// ends, however it ends, so a later run tells a dead run's files from a live one's.
enum class RunLock { Taken, Busy, Unsupported };

// Takes an exclusive lock on `fd`, the open file `path` (waiting for it when `wait`), and checks
// that the name still leads to that file: a run that clears a dead run's lock file unlinks it
// while holding the lock.
RunLock takeRunLock(int fd, const QByteArray& path, bool wait);
