#include "platform/TextEncoder.h"

#include "platform/Iconv.h"

#include <cerrno>

namespace {

// Length of the UTF-8 sequence that starts with `lead` (1 for stray bytes).
size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

}  // namespace

struct TextEncoder::Handle {
    explicit Handle(const QByteArray& codePage) : iconvHandle(codePage, "UTF-8") {}
    Iconv iconvHandle;
};

TextEncoder::TextEncoder(const QByteArray& codePage)
    : m_codePage(codePage),
      m_handle(std::make_unique<Handle>(codePage.isEmpty() ? "ISO-8859-1" : codePage)) {}

TextEncoder::~TextEncoder() = default;
TextEncoder::TextEncoder(TextEncoder&&) noexcept = default;
TextEncoder& TextEncoder::operator=(TextEncoder&&) noexcept = default;

QByteArray TextEncoder::encode(const QString& text, bool* lossy) const {
    if (lossy)
        *lossy = false;
    const QByteArray utf8 = text.toUtf8();
    if (m_codePage.compare("UTF-8", Qt::CaseInsensitive) == 0)
        return utf8;
    if (!m_handle->iconvHandle.isValid()) {
        if (lossy)
            *lossy = true;
        return text.toLatin1();
    }
    const Iconv& iconvHandle = m_handle->iconvHandle;
    iconvHandle.reset();
    QByteArray result;
    char* in = const_cast<char*>(utf8.constData());  // iconv's signature; the input is not written
    size_t inLeft = size_t(utf8.size());
    char buffer[1024];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(iconvHandle.get(), &in, &inLeft, &out, &outLeft);
        const int error = errno;
        result.append(buffer, qsizetype(sizeof buffer - outLeft));
        if (rc != size_t(-1) || error == E2BIG)
            continue;
        // A character the code page lacks: one "?" for the whole character.
        result.append('?');
        if (lossy)
            *lossy = true;
        const size_t skip = std::min(utf8SequenceLength(static_cast<unsigned char>(*in)), inLeft);
        in += skip;
        inLeft -= skip;
    }
    // Flush a stateful encoding's closing sequence.
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(iconvHandle.get(), nullptr, nullptr, &out, &outLeft);
    result.append(buffer, qsizetype(sizeof buffer - outLeft));
    return result;
}
