#pragma once

#include <QtEndian>

#include <cstdint>
#include <limits>

// The geometry families of shape records and of outputs.
enum class ShapeKind { Null, Point, MultiPoint, PolyLine, Polygon, MultiPatch };

// Raw shape types of the .shp format and what they say about a record.
namespace ShpType {
inline constexpr std::int32_t Null = 0;
inline constexpr std::int32_t Point = 1;
inline constexpr std::int32_t PolyLine = 3;
inline constexpr std::int32_t Polygon = 5;
inline constexpr std::int32_t MultiPoint = 8;
inline constexpr std::int32_t PointZ = 11;
inline constexpr std::int32_t PolyLineZ = 13;
inline constexpr std::int32_t PolygonZ = 15;
inline constexpr std::int32_t MultiPointZ = 18;
inline constexpr std::int32_t PointM = 21;
inline constexpr std::int32_t PolyLineM = 23;
inline constexpr std::int32_t PolygonM = 25;
inline constexpr std::int32_t MultiPointM = 28;
inline constexpr std::int32_t MultiPatch = 31;

// The family of a type; Null for 0 and for types the format does not define (see isKnown).
ShapeKind kindOf(std::int32_t type);
bool isKnown(std::int32_t type);
// Z types (and MultiPatch) carry Z values; their records may carry measures too.
bool hasZ(std::int32_t type);
// The M types, whose records carry measures (or none, the section being optional).
bool isMeasured(std::int32_t type);
// The raw type of a kind with Z (which may hold measures as well), or else with M, or plain.
std::int32_t of(ShapeKind kind, bool z, bool m);
}  // namespace ShpType

// Measures below this are "no data" in a shapefile.
inline constexpr double kNoMeasureBelow = -1e38;
// The "no data" measure written where a record gets measures it did not have.
inline constexpr double kNoMeasure = -1e39;

// A parsed view of one shape record's content (the bytes after its 8-byte header): its own
// type, parts, points, Z and M, checked against its length. The bytes are not owned and must
// outlive the view. The ranges are computed from the points, not taken from the record's box.
class ShapeRecord {
public:
    enum class Status {
        Ok,
        Malformed,  // lengths or counts disagree, or a type the format does not define
        NonFinite,  // an x, y or z that is infinite or not a number
    };
    struct Ranges {
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        double minZ = 0, maxZ = 0;  // of the Z values; 0 when there are none
        double minM = 0, maxM = 0;  // of the measures that are data
        bool hasMeasures = false;   // some measure is data (finite, not "no data")
    };

    Status parse(const char* content, std::int64_t length);

    std::int32_t type() const { return m_type; }
    ShapeKind kind() const { return m_kind; }
    bool isNull() const { return m_kind == ShapeKind::Null; }
    const char* content() const { return m_content; }
    std::int64_t length() const { return m_length; }

    bool hasZ() const { return m_zAt >= 0; }
    bool hasM() const { return m_mAt >= 0; }  // the record has a measure section
    std::int32_t pointCount() const { return m_points; }
    // Parts of lines and polygons (rings); points and multipoints have none.
    std::int32_t partCount() const { return m_parts; }
    std::int32_t partStart(std::int32_t part) const {
        return part == 0 ? 0 : readInt(m_content + m_partsAt + 4 * part);
    }
    std::int32_t partEnd(std::int32_t part) const {
        return part + 1 == m_parts ? m_points : partStart(part + 1);
    }
    // The points as x, y pairs of little-endian doubles.
    const char* xy() const { return m_content + m_xyAt; }
    double x(std::int32_t i) const { return readDouble(m_content + m_xyAt + 16 * std::int64_t{i}); }
    double y(std::int32_t i) const {
        return readDouble(m_content + m_xyAt + 16 * std::int64_t{i} + 8);
    }
    double z(std::int32_t i) const { return readDouble(m_content + m_zAt + 8 * std::int64_t{i}); }
    double m(std::int32_t i) const { return readDouble(m_content + m_mAt + 8 * std::int64_t{i}); }
    // Whether a measure is data rather than "no data".
    static bool isMeasure(double m) {
        return m > kNoMeasureBelow && m <= std::numeric_limits<double>::max();
    }

    const Ranges& ranges() const { return m_ranges; }

    // Where the x, y pairs, the Z values and the measures start in the content (-1: none).
    std::int64_t xyOffset() const { return m_xyAt; }
    std::int64_t zOffset() const { return m_zAt; }
    std::int64_t mOffset() const { return m_mAt; }

    static double readDouble(const char* at) { return qFromLittleEndian<double>(at); }
    static std::int32_t readInt(const char* at) { return qFromLittleEndian<qint32>(at); }

private:
    Status layOut();
    Status measure();

    const char* m_content = nullptr;
    std::int64_t m_length = 0;
    std::int32_t m_type = 0;
    ShapeKind m_kind = ShapeKind::Null;
    std::int32_t m_parts = 0;
    std::int32_t m_points = 0;
    std::int64_t m_partsAt = 0;
    std::int64_t m_xyAt = 0;
    std::int64_t m_zAt = -1;  // first Z value
    std::int64_t m_mAt = -1;  // first measure
    Ranges m_ranges;
};

// Whether `record` can become a feature of an output of `kind`: a shape of that kind, a point
// and a one-point multipoint either way, or a null shape (which fits every output).
bool fitsKind(const ShapeRecord& record, ShapeKind kind);
