#include "platform/CodePage.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <iconv.h>
#include <array>
#include <cerrno>
#include <cmath>
#include <utility>

namespace {

struct LanguageDriver {
    quint8 id;
    const char* codePage;
};

// The language-driver bytes in use; where several bytes name one code page, the first listed
// is the one written.
constexpr std::array<LanguageDriver, 58> kLanguageDrivers{{
    {0x57, "CP1252"}, {0x01, "CP437"},  {0x02, "CP850"},  {0x03, "CP1252"}, {0x08, "CP865"},
    {0x09, "CP437"},  {0x0A, "CP850"},  {0x0B, "CP437"},  {0x0D, "CP437"},  {0x0E, "CP850"},
    {0x0F, "CP437"},  {0x10, "CP850"},  {0x11, "CP437"},  {0x12, "CP850"},  {0x13, "CP932"},
    {0x14, "CP850"},  {0x15, "CP437"},  {0x16, "CP850"},  {0x17, "CP865"},  {0x18, "CP437"},
    {0x19, "CP437"},  {0x1A, "CP850"},  {0x1B, "CP437"},  {0x1C, "CP863"},  {0x1D, "CP850"},
    {0x1F, "CP852"},  {0x22, "CP852"},  {0x23, "CP852"},  {0x24, "CP860"},  {0x25, "CP850"},
    {0x65, "CP866"},  {0x26, "CP866"},  {0x37, "CP850"},  {0x64, "CP852"},  {0x40, "CP852"},
    {0x7A, "CP936"},  {0x4D, "CP936"},  {0x79, "CP949"},  {0x4E, "CP949"},  {0x78, "CP950"},
    {0x4F, "CP950"},  {0x7C, "CP874"},  {0x50, "CP874"},  {0x58, "CP1252"}, {0x59, "CP1252"},
    {0x66, "CP865"},  {0x67, "CP861"},  {0x6A, "CP737"},  {0x86, "CP737"},  {0x6B, "CP857"},
    {0x88, "CP857"},  {0x6C, "CP863"},  {0x7B, "CP932"},  {0xC8, "CP1250"}, {0xC9, "CP1251"},
    {0xCA, "CP1254"}, {0xCB, "CP1253"}, {0xCC, "CP1257"},
}};

// Windows code-page numbers that are not "CPnnn" in iconv.
QByteArray codePageFromNumber(const QByteArray& digits) {
    if (digits == "65001")
        return "UTF-8";
    if (digits == "20866")
        return "KOI8-R";
    if (digits == "21866")
        return "KOI8-U";
    if (digits.startsWith("8859") && digits.size() > 4)
        return "ISO-8859-" + digits.mid(4);
    if (digits.startsWith("2859") && digits.size() > 4)
        return "ISO-8859-" + digits.mid(4);
    return "CP" + digits;
}

}  // namespace

namespace CodePage {

std::optional<QByteArray> codePageFromLanguageDriver(quint8 languageDriver) {
    for (const auto& driver : kLanguageDrivers) {
        if (driver.id == languageDriver)
            return QByteArray(driver.codePage);
    }
    return std::nullopt;
}

quint8 languageDriverForCodePage(const QByteArray& codePage) {
    const QByteArray wanted = codePageFromCpg(codePage).value_or(QByteArray());
    for (const auto& driver : kLanguageDrivers) {
        if (wanted == driver.codePage)
            return driver.id;
    }
    return 0;
}

std::optional<QByteArray> codePageFromCpg(const QByteArray& cpgText) {
    QByteArray text = cpgText.trimmed().toUpper();
    if (text.isEmpty())
        return std::nullopt;
    if (text == "UTF-8" || text == "UTF8")
        return QByteArray("UTF-8");
    if (text.startsWith("LDID/")) {
        bool ok = false;
        const uint id = text.mid(5).toUInt(&ok);
        return ok && id <= 0xFF ? codePageFromLanguageDriver(quint8(id)) : std::nullopt;
    }
    if (text == "LATIN1" || text == "LATIN-1")
        return QByteArray("ISO-8859-1");
    if (text == "KOI8R" || text == "KOI8-R")
        return QByteArray("KOI8-R");
    if (text == "KOI8U" || text == "KOI8-U")
        return QByteArray("KOI8-U");

    // "1251", "CP1251", "CP 1251", "ANSI 1251", "OEM 866", "WINDOWS-1251", "IBM866",
    // "ISO 88591", "ISO-8859-5", "8859-1", "88591".
    static const QRegularExpression numbered(
        QStringLiteral("^(?:CP|ANSI|OEM|WINDOWS|IBM|MS|ISO)?[ _-]?(8859[-_ ]?\\d{1,2}|\\d{3,5})$"));
    const auto match = numbered.match(QString::fromLatin1(text));
    if (match.hasMatch()) {
        QByteArray digits = match.captured(1).toLatin1();
        digits.replace('-', "").replace('_', "").replace(' ', "");
        return codePageFromNumber(digits);
    }
    if (isSupported(text))
        return text;
    return std::nullopt;
}

QByteArray cpgTextFor(const QByteArray& codePage) {
    const QByteArray name = codePageFromCpg(codePage).value_or(codePage.toUpper());
    if (name.startsWith("CP"))
        return name.mid(2);
    if (name.startsWith("ISO-8859-"))
        return "8859" + name.mid(9);
    return name;
}

bool isSupported(const QByteArray& codePage) {
    if (codePage.isEmpty())
        return false;
    iconv_t handle = iconv_open("UTF-8", codePage.constData());
    if (handle == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(handle);
    return true;
}

}  // namespace CodePage
