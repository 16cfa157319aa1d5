#pragma once

#include "formats/PolygonRings.h"
#include "shapefile/ShapeRecord.h"

#include <QByteArray>

#include <cstdint>

// Writes shape records as well-known binary (little endian) of one output geometry type:
// points as Point, multipoints as MultiPoint, lines as MultiLineString and polygons as
// MultiPolygon (rings grouped by PolygonRings), with the output's Z and M. A missing Z becomes
// 0; a missing measure, and a shapefile's "no data" measure, become NaN, WKB's "no value".
// ISO WKB by default; Extended is PostGIS's EWKB (dimension flags, and the SRID when not 0).
class WkbWriter {
public:
    enum class Flavour { Iso, Extended };

    // `kind`: the output's (Point, MultiPoint, PolyLine or Polygon).
    WkbWriter(ShapeKind kind, bool z, bool m, Flavour flavour = Flavour::Iso,
              std::int32_t srid = 0);

    // Appends `record`: not null, and fitting the output's kind (see fitsKind).
    void append(const ShapeRecord& record, QByteArray& out);

    ShapeKind kind() const { return m_kind; }
    bool hasZ() const { return m_z; }
    bool hasM() const { return m_m; }

private:
    char* header(char* at, std::uint32_t type, bool outer) const;
    char* points(char* at, const ShapeRecord& record, std::int32_t first, std::int32_t end) const;
    std::size_t pointBytes() const { return 8 * (2 + m_z + m_m); }
    std::size_t outerHeaderBytes() const {
        return 5 + (m_flavour == Flavour::Extended && m_srid != 0 ? 4 : 0);
    }
    void appendPoints(const ShapeRecord& record, QByteArray& out);
    void appendLines(const ShapeRecord& record, QByteArray& out);
    void appendPolygons(const ShapeRecord& record, QByteArray& out);

    ShapeKind m_kind;
    bool m_z;
    bool m_m;
    Flavour m_flavour;
    std::int32_t m_srid;
    PolygonRings m_rings;
};
