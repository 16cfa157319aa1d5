#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <utility>

// Owns one POSIX file descriptor; closes it when destroyed. -1 means none.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        UniqueFd(std::move(other)).swap(*this);
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    // Opens `path` (bytes as the file system holds them) for reading when it is a regular file
    // (a link to one counts); not open on failure, with errno telling why (EINVAL for an entry
    // that is no regular file). The open never waits: a named pipe without a writer would block
    // a plain open forever, so it is opened non-blocking and then refused. O_NONBLOCK stays set;
    // it has no effect on reading regular files. `info`, when given, receives the file's status.
    static UniqueFd openRegularFile(const char* path, struct stat* info = nullptr) {
        UniqueFd file = openNeverWaiting(path);
        struct stat status {};
        if (!file.isOpen() || ::fstat(file.get(), &status) != 0)
            return UniqueFd();
        if (!S_ISREG(status.st_mode)) {
            errno = EINVAL;
            return UniqueFd();
        }
        if (info)
            *info = status;
        return file;
    }

    // Opens `path` for reading whatever kind of entry it is, without waiting on a named pipe
    // and without making a terminal the controlling one; the caller checks the kind.
    static UniqueFd openNeverWaiting(const char* path) {
        int fd;
        do {
            fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        } while (fd < 0 && errno == EINTR);
        return UniqueFd(fd);
    }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void swap(UniqueFd& other) noexcept { std::swap(m_fd, other.m_fd); }

private:
    int m_fd = -1;
};
