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

}  // namespace FileNameCodec
