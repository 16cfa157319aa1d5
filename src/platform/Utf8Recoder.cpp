#include "platform/Utf8Recoder.h"

#include "platform/Iconv.h"

#include <cerrno>

Utf8Recoder::Utf8Recoder(const QByteArray& codePage) : m_decoder(codePage) {
    const Iconv toUtf8("UTF-8", codePage);
    if (!toUtf8.isValid()) {
        return;
    }
    for (int byte = 0; byte < 256; ++byte) {
        toUtf8.reset();
        char in = char(byte);
        char* inAt = &in;
        size_t inLeft = 1;
        char* outAt = m_utf8[size_t(byte)].data();
        size_t outLeft = 4;
        if (iconv(toUtf8.get(), &inAt, &inLeft, &outAt, &outLeft) == size_t(-1)) {
            if (errno == EINVAL) {
                return;  // the byte starts a longer sequence: no single-byte code page
            }
            m_utf8[size_t(byte)] = {'\xEF', '\xBF', '\xBD', 0};
            outLeft = 1;
        }
        m_length[size_t(byte)] = std::uint8_t(4 - outLeft);
    }
    m_byTable = true;
}

void Utf8Recoder::append(QByteArrayView bytes, QByteArray& out) const {
    if (!m_byTable) {
        out += m_decoder.decode(bytes).toUtf8();
        return;
    }
    qsizetype at = out.size();
    out.resize(at + 4 * bytes.size());
    char* write = out.data() + at;
    for (const char byte : bytes) {
        const auto index = static_cast<unsigned char>(byte);
        const std::uint8_t length = m_length[index];
        for (std::uint8_t i = 0; i < length; ++i) {
            *write++ = m_utf8[index][i];
        }
    }
    out.resize(write - out.constData());
}
