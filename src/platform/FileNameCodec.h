#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as bytes <-> text without loss. Valid UTF-8 decodes as usual; each byte that is
// not part of valid UTF-8 becomes the lone surrogate U+DC80..U+DCFF and encodes back to the
// same byte, so a name the locale cannot represent can still be listed and opened.
namespace FileNameCodec {

QString decode(QByteArrayView bytes);
QByteArray encode(const QString& name);

// A decoded name (or path) as a person reads it: each part between "/" whose bytes are not
// UTF-8 is decoded in the code page that reads them as text (the guess the tables get), so
// CP1251 and CP866 names from old archives show in Cyrillic. `marked`: the code pages follow in
// brackets (" [CP1251]"), so nobody takes the shown text for the name's own. For display only:
// every step that opens or compares names keeps using the name itself.
QString shown(const QString& name, bool marked);

}  // namespace FileNameCodec
