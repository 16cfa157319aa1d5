#include "platform/RegularFile.h"

#include "platform/UniqueFd.h"

#include <unistd.h>

#include <cerrno>

std::optional<QByteArray> readRegularFile(const QByteArray& path, qsizetype most) {
    const UniqueFd file = UniqueFd::openRegularFile(path.constData());
    if (!file.isOpen()) {
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[1 << 16];
    while (bytes.size() < most) {
        const auto wanted =
            static_cast<size_t>(std::min<qsizetype>(sizeof buffer, most - bytes.size()));
        const ssize_t got = ::read(file.get(), buffer, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
    }
    return bytes;
}
