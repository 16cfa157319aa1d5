#pragma once

#include <ogr_core.h>

#include <QByteArray>

#include <array>
#include <optional>
#include <string_view>

// Fits WKB geometries (ISO, or extended with flag bits) to a geometry column of one type:
// the same type with the same Z/M passes, a single part where the column holds its multi type
// is wrapped into a one-part multi, anything else does not fit. A column of no particular type
// (wkbUnknown) takes everything.
class WkbFit {
public:
    explicit WkbFit(OGRwkbGeometryType column);

    // What goes before `wkb` ("" for nothing), or nothing when the geometry does not fit.
    std::optional<std::string_view> header(std::string_view wkb) const;

    // The column's type as PostGIS names it in a type modifier: "MultiPolygonZM", "PointZ".
    QByteArray typeName() const;

private:
    int m_flat;        // the column's flat ISO code: 1 point ... 6 multipolygon, 0 any
    int m_single;      // the part type that is wrapped, 0 for none
    int m_dimensions;  // 0 XY, 1 Z, 2 M, 3 ZM: the ISO thousands
    std::array<char, 9> m_wrap{};
};
