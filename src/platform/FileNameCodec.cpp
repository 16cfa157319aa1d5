#include "platform/FileNameCodec.h"

#include "platform/CodePage.h"
#include "platform/TextDecoder.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at `at`, or 0 when the bytes there are not one.
qsizetype validSequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no encoded surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool isEscape(char16_t unit) {
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

}  // namespace

namespace FileNameCodec {

QString decode(QByteArrayView bytes) {
    QString result;
    result.reserve(bytes.size());
    qsizetype plainStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const qsizetype length = validSequenceLength(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        result += QString::fromUtf8(bytes.sliced(plainStart, at - plainStart));
        result += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[at])));
        plainStart = ++at;
    }
    result += QString::fromUtf8(bytes.sliced(plainStart));
    return result;
}

QByteArray encode(const QString& name) {
    QByteArray result;
    qsizetype plainStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        // A lone low surrogate only: one after a high surrogate is half of a real character.
        if (!isEscape(unit) || (i > 0 && name.at(i - 1).isHighSurrogate()))
            continue;
        result += QStringView(name).sliced(plainStart, i - plainStart).toUtf8();
        result += char(unit - kEscapeBase);
        plainStart = i + 1;
    }
    result += QStringView(name).sliced(plainStart).toUtf8();
    return result;
}

QString shown(const QString& name, bool marked) {
    if (std::none_of(name.begin(), name.end(), [](QChar c) { return isEscape(c.unicode()); }))
        return name;
    QStringList parts = name.split(QLatin1Char('/'));
    QStringList pages;
    for (QString& part : parts) {
        if (std::none_of(part.begin(), part.end(), [](QChar c) { return isEscape(c.unicode()); }))
            continue;  // valid UTF-8 already
        const QByteArray bytes = encode(part);
        const QByteArray page = CodePage::guessCodePage(bytes);
        part = TextDecoder(page).decode(bytes);
        if (!pages.contains(QString::fromLatin1(page)))
            pages << QString::fromLatin1(page);
    }
    const QString text = parts.join(QLatin1Char('/'));
    return marked
               ? text + QStringLiteral(" [") + pages.join(QStringLiteral(", ")) + QLatin1Char(']')
               : text;
}

}  // namespace FileNameCodec
