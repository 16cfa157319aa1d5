#pragma once

#include <QByteArray>
#include <QString>

#include "shapefile/ShapefileProbe.h"

#include <optional>
#include <vector>

// How the text of each input reaches the output, decided once per merge.
//
// Every input declares the same code page: the output uses and declares it, bytes unchanged.
// No input declares one: bytes pass through and the output declares nothing. Otherwise (and
// always for GeoPackage output) the output is UTF-8 and each input is decoded from its declared
// page, or from the page its bytes make plausible when it declares none.
struct TextPlan {
    QByteArray outputCodePage;            // empty: output declares nothing
    std::vector<QByteArray> inputDecode;  // per input: empty keeps the bytes, else decode from it

    static TextPlan decide(const std::vector<ShapefileProbePtr>& inputs, bool utf8Output);
};

// The code page to read a shapefile's text in: the declared one, else the one its text makes
// plausible.
QByteArray readingCodePage(const ShapefileProbe& probe);

// Text in `codePage`; an empty code page (unknown) maps each byte to one character, so equal
// bytes still give equal texts.
QString decodeText(const QByteArray& bytes, const QByteArray& codePage);

// Up to `limit` bytes of the text fields of the first records of a shapefile's table.
QByteArray sampleText(const ShapefileProbe& probe, qsizetype limit = 1 << 16);
