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
    // (a link to one counts); not open on failure. A named pipe, device or socket is never opened
    // the blocking way: opening a pipe without a writer would wait forever, and opening a device
    // can have effects of its own. errno tells why; EINVAL for an entry that is no regular file.
    static UniqueFd openRegularFile(const char* path) {
        struct stat info {};
        if (::stat(path, &info) != 0)
            return UniqueFd();
        if (!S_ISREG(info.st_mode)) {
            errno = EINVAL;
            return UniqueFd();
        }
        int fd;
        do {
            fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        } while (fd < 0 && errno == EINTR);
        UniqueFd file(fd);
        // Checked again on the open file: the entry may have been replaced since the stat.
        if (!file.isOpen() || ::fstat(fd, &info) != 0)
            return UniqueFd();
        if (!S_ISREG(info.st_mode)) {
            errno = EINVAL;
            return UniqueFd();
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
            return UniqueFd();
        return file;
    }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void swap(UniqueFd& other) noexcept { std::swap(m_fd, other.m_fd); }

private:
    int m_fd = -1;
};
