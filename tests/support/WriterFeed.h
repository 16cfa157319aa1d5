#pragma once

#include "formats/RowMapper.h"

#include <ogr_geometry.h>

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <utility>

// What the typed writers' tests feed them: squares as ISO WKB and field values.
namespace WriterFeed {

// A multipolygon of one square with its lower left corner at (x, y).
inline QByteArray square(double x, double y, double side) {
    OGRMultiPolygon multi;
    OGRPolygon polygon;
    OGRLinearRing ring;
    for (const auto& [dx, dy] : {std::pair{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}) {
        ring.addPoint(x + dx * side, y + dy * side);
    }
    polygon.addRing(&ring);
    multi.addGeometry(&polygon);
    QByteArray wkb(static_cast<qsizetype>(multi.WkbSize()), '\0');
    multi.exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(wkb.data()), wkbVariantIso);
    return wkb;
}

// A value as the row mapper hands it over: numbers also as their text.
inline FieldValue value(FieldValue::Type type, QByteArrayView text, std::int64_t integer = 0) {
    FieldValue result;
    result.type = type;
    result.text = text;
    result.integer = integer;
    result.real = text.isEmpty() ? 0 : text.toByteArray().toDouble();
    return result;
}

}  // namespace WriterFeed
