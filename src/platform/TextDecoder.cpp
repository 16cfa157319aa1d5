#include "platform/TextDecoder.h"

#include "platform/Iconv.h"

#include <array>
#include <cerrno>
#include <optional>

namespace {

constexpr char16_t kReplacement = 0xFFFD;
// QString's own byte order, so iconv's output is copied as is.
constexpr const char* kUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";

// Converts one byte through iconv; nullopt when the byte starts a multi-byte sequence.
std::optional<char16_t> decodeByte(const Iconv& iconvHandle, unsigned char byte) {
    iconvHandle.reset();
    char in = char(byte);
    char out[8];
    char* inPtr = &in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    if (iconv(iconvHandle.get(), &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1))
        return errno == EINVAL ? std::nullopt : std::optional<char16_t>(kReplacement);
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(out),
                                            qsizetype((sizeof out - outLeft) / 2));
    return text.size() == 1 ? text.at(0).unicode() : kReplacement;
}

}  // namespace

struct TextDecoder::Handle {
    enum class Mode { Latin1, Utf8, Table, Stream };

    explicit Handle(const QByteArray& codePage) : iconvHandle(kUtf16, codePage) {
        if (codePage.compare("UTF-8", Qt::CaseInsensitive) == 0) {
            mode = Mode::Utf8;
            return;
        }
        if (codePage.isEmpty() || !iconvHandle.isValid())
            return;
        // Single-byte code pages decode through a table built once: no iconv call per value.
        for (int byte = 0; byte < 256; ++byte) {
            const auto decoded = decodeByte(iconvHandle, static_cast<unsigned char>(byte));
            if (!decoded) {
                mode = Mode::Stream;
                return;
            }
            table[size_t(byte)] = *decoded;
        }
        mode = Mode::Table;
    }

    QString stream(QByteArrayView bytes) const {
        QString result;
        iconvHandle.reset();
        char* in = const_cast<char*>(bytes.data());  // iconv's signature; the input is not written
        size_t inLeft = size_t(bytes.size());
        char16_t buffer[512];
        while (inLeft > 0) {
            char* out = reinterpret_cast<char*>(buffer);
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(iconvHandle.get(), &in, &inLeft, &out, &outLeft);
            const int error = errno;
            result.append(reinterpret_cast<const QChar*>(buffer),
                          qsizetype((sizeof buffer - outLeft) / 2));
            if (rc != size_t(-1) || error == E2BIG)
                continue;
            result.append(QChar(kReplacement));  // invalid or truncated sequence: one byte lost
            if (error == EINVAL)
                break;
            ++in;
            --inLeft;
        }
        return result;
    }

    Iconv iconvHandle;
    Mode mode = Mode::Latin1;
    std::array<char16_t, 256> table{};
};

TextDecoder::TextDecoder(const QByteArray& codePage)
    : m_codePage(codePage), m_handle(std::make_unique<Handle>(codePage)) {}

TextDecoder::~TextDecoder() = default;
TextDecoder::TextDecoder(TextDecoder&&) noexcept = default;
TextDecoder& TextDecoder::operator=(TextDecoder&&) noexcept = default;

QString TextDecoder::decode(QByteArrayView bytes) const {
    switch (m_handle->mode) {
        case Handle::Mode::Latin1:
            return QString::fromLatin1(bytes);
        case Handle::Mode::Utf8:
            return QString::fromUtf8(bytes);
        case Handle::Mode::Table: {
            QString result(bytes.size(), Qt::Uninitialized);
            QChar* out = result.data();
            for (const char byte : bytes)
                *out++ = QChar(m_handle->table[static_cast<unsigned char>(byte)]);
            return result;
        }
        case Handle::Mode::Stream:
            break;
    }
    return m_handle->stream(bytes);
}
