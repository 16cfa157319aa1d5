#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

const QString kSentence =
    QStringLiteral("Съешь же ещё этих мягких французских булок, да выпей чаю.");
const QString kUpperPlace = QStringLiteral("МОСКВА УЛ. ЛЕНИНА");

// Each Russian code page holds the text one byte a letter, gives it back unchanged, and is
// recognised from the bytes alone.
TEST(CodePage, RussianCodePagesRoundTripAndAreGuessed) {
    for (const char* codePage : {"CP1251", "CP866", "KOI8-R"}) {
        SCOPED_TRACE(codePage);
        bool lossy = true;
        const QByteArray bytes = TextEncoder(codePage).encode(kSentence, &lossy);
        EXPECT_FALSE(lossy);
        EXPECT_EQ(bytes.size(), kSentence.size());
        EXPECT_EQ(TextDecoder(codePage).decode(bytes), kSentence);
        for (const QString& text : {kSentence, kUpperPlace, QStringLiteral("Привет, мир")}) {
            EXPECT_EQ(CodePage::guessCodePage(TextEncoder(codePage).encode(text)),
                      QByteArray(codePage))
                << text.toStdString();
        }
    }
}

TEST(CodePageGuess, ValidUtf8IsUtf8AndPlainAsciiOrLatinIsLatin1) {
    EXPECT_EQ(CodePage::guessCodePage(kSentence.toUtf8()), "UTF-8");
    EXPECT_EQ(CodePage::guessCodePage("PLAIN ASCII 123"), "ISO-8859-1");
    EXPECT_EQ(CodePage::guessCodePage(QStringLiteral("café crème à Paris").toLatin1()),
              "ISO-8859-1");
    EXPECT_EQ(CodePage::guessCodePage(QByteArray()), "ISO-8859-1");
}

TEST(TextEncoder, ReportsCharactersTheCodePageLacks) {
    bool lossy = false;
    EXPECT_EQ(TextEncoder("CP1251").encode(QStringLiteral("a€中b"), &lossy), QByteArray("a\x88?b"));
    EXPECT_TRUE(lossy);
    EXPECT_EQ(TextEncoder("ISO-8859-1").encode(QStringLiteral("Ж"), &lossy), "?");
    EXPECT_TRUE(lossy);
}

// An unknown code page shows every byte as Latin-1; invalid UTF-8, bytes a page leaves
// undefined and a multi-byte character cut short become replacement characters.
TEST(TextDecoder, DecodesWhatItCanAndMarksWhatItCannot) {
    const struct {
        const char* codePage;
        QByteArray bytes;
        QString text;
    } rows[] = {{"NO-SUCH-PAGE", "\xC0z", QStringLiteral("Àz")},
                {"", "\xE9", QStringLiteral("é")},
                {"UTF-8", "a\xFF", QStringLiteral("a\uFFFD")},
                {"CP1251", "\x98", QStringLiteral("\uFFFD")},
                {"CP932", "A\x82\xA0", QStringLiteral("Aあ")},  // through iconv as a stream
                {"CP932", "A\x82", QStringLiteral("A\uFFFD")}};
    for (const auto& row : rows)
        EXPECT_EQ(TextDecoder(row.codePage).decode(row.bytes), row.text) << row.codePage;
}

TEST(Cpg, ReadsTheWaysTablesDeclareTheirCodePage) {
    const struct {
        const char* text;
        const char* codePage;
    } rows[] = {
        {"1251", "CP1251"},         {"CP1251", "CP1251"},        {"ANSI 1251", "CP1251"},
        {"windows-1251", "CP1251"}, {"  cp866\r\n", "CP866"},    {"OEM 866", "CP866"},
        {"UTF-8", "UTF-8"},         {"utf8", "UTF-8"},           {"65001", "UTF-8"},
        {"88591", "ISO-8859-1"},    {"ISO 88595", "ISO-8859-5"}, {"ISO-8859-1", "ISO-8859-1"},
        {"8859-15", "ISO-8859-15"}, {"KOI8-R", "KOI8-R"},        {"20866", "KOI8-R"},
        {"LDID/201", "CP1251"}};
    for (const auto& row : rows)
        EXPECT_EQ(CodePage::codePageFromCpg(row.text), QByteArray(row.codePage)) << row.text;
    for (const char* bad : {"", "   ", "nonsense page", "LDID/999"})
        EXPECT_EQ(CodePage::codePageFromCpg(bad), std::nullopt) << bad;
}

}  // namespace
