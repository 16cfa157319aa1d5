#pragma once

#include "platform/TextDecoder.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>

// Recodes text of one code page into UTF-8 bytes without going through QString: single-byte
// code pages through a table of each byte's UTF-8 bytes, built once; others through iconv.
// Bytes the code page does not define become U+FFFD. Not thread-safe.
class Utf8Recoder {
public:
    explicit Utf8Recoder(const QByteArray& codePage);

    // Appends `bytes` recoded to `out`.
    void append(QByteArrayView bytes, QByteArray& out) const;

private:
    TextDecoder m_decoder;
    bool m_byTable = false;
    std::array<std::array<char, 4>, 256> m_utf8{};
    std::array<std::uint8_t, 256> m_length{};
};
