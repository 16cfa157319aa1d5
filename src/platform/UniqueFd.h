#pragma once

#include <fcntl.h>
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

    // Opens `path` (bytes as the file system holds them) for reading; not open on failure.
    static UniqueFd openReadOnly(const char* path) {
        int fd;
        do {
            fd = ::open(path, O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        return UniqueFd(fd);
    }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void swap(UniqueFd& other) noexcept { std::swap(m_fd, other.m_fd); }

private:
    int m_fd = -1;
};
