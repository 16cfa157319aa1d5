#pragma once

#include <QByteArray>

#include <optional>

// The first `most` bytes (all, when shorter) of the regular file `path` (bytes as the file
// system holds them); nullopt when it is missing, no regular file (a named pipe or device is
// never opened), or cannot be read.
std::optional<QByteArray> readRegularFile(const QByteArray& path, qsizetype most);
