#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "platform/TextDecoder.h"
#include "platform/TextEncoder.h"

#include <optional>

// Single-byte code pages of dBASE tables, named by their iconv names ("CP1251", "CP866",
// "KOI8-R", "CP1252", "ISO-8859-1", ...; "UTF-8" for tables written as UTF-8).
namespace CodePage {

// The code page a dBASE language-driver byte declares; nullopt for 0 and unknown bytes.
std::optional<QByteArray> codePageFromLanguageDriver(quint8 languageDriver);

// The language-driver byte to write for a code page; 0 when none fits (UTF-8 included).
quint8 languageDriverForCodePage(const QByteArray& codePage);

// The code page a .cpg file declares ("1251", "CP1251", "ANSI 1251", "UTF-8", "88591", ...);
// nullopt when the text names nothing known.
std::optional<QByteArray> codePageFromCpg(const QByteArray& cpgText);

// The text to write into a .cpg beside a table in this code page.
QByteArray cpgTextFor(const QByteArray& codePage);

// Best guess for undeclared bytes: "UTF-8" when the sample is valid UTF-8 with non-ASCII bytes,
// else whichever of CP1251, CP866, KOI8-R reads as Russian text, else "ISO-8859-1".
QByteArray guessCodePage(const QByteArray& sample);

// True when iconv knows the name.
bool isSupported(const QByteArray& codePage);

}  // namespace CodePage
