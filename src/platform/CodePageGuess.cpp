#include "platform/CodePage.h"

#include <QStringDecoder>

#include <array>
#include <cmath>

namespace {

// Russian letter frequencies per ten thousand, а..я; ё apart.
constexpr std::array<int, 32> kRussianFrequency{
    801, 159, 454, 170, 298, 845, 94, 165, 735, 121, 349, 440, 321, 670, 1097, 281,
    473, 547, 626, 262, 26,  97,  48, 144, 73,  36,  4,   190, 174, 32,  64,   201};

// How much a decoded character looks like Russian text: letters by log frequency, anything
// else above ASCII is penalised.
double characterScore(QChar c) {
    const char16_t lower = c.toLower().unicode();
    if (lower >= u'а' && lower <= u'я')
        return std::log(double(kRussianFrequency[size_t(lower - u'а')]));
    if (lower == u'ё')
        return std::log(4.0);
    return -6.0;
}

// Sum of character scores of the non-ASCII characters, with penalties for word shapes that
// real text lacks: a capital after a small letter, Latin and Cyrillic letters in one word.
double russianScore(const QString& text) {
    double score = 0;
    bool previousLower = false;
    bool wordHasLatin = false;
    bool wordHasCyrillic = false;
    for (const QChar c : text) {
        if (!c.isLetter()) {
            previousLower = wordHasLatin = wordHasCyrillic = false;
            continue;
        }
        const bool latin = c.unicode() < 0x80;
        if (!latin)
            score += characterScore(c);
        if (c.isUpper() && previousLower)
            score -= 3.0;
        previousLower = c.isLower();
        if ((latin && wordHasCyrillic) || (!latin && wordHasLatin))
            score -= 10.0;
        (latin ? wordHasLatin : wordHasCyrillic) = true;
    }
    return score;
}

bool isValidNonAsciiUtf8(const QByteArray& sample) {
    bool nonAscii = false;
    for (const char byte : sample)
        nonAscii = nonAscii || static_cast<unsigned char>(byte) >= 0x80;
    if (!nonAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(sample);
    return !decoder.hasError();
}

}  // namespace

namespace CodePage {

QByteArray guessCodePage(const QByteArray& sample) {
    if (isValidNonAsciiUtf8(sample))
        return "UTF-8";
    QByteArray best = "ISO-8859-1";
    double bestScore = 0;
    // Listed by how common they are in tables, so the commoner wins a tie.
    for (const char* candidate : {"CP1251", "CP866", "KOI8-R"}) {
        const double score = russianScore(TextDecoder(candidate).decode(sample));
        if (score > bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

}  // namespace CodePage
