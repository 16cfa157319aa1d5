#include "formats/WkbWriter.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

namespace WkbType {
constexpr std::uint32_t Point = 1;
constexpr std::uint32_t LineString = 2;
constexpr std::uint32_t Polygon = 3;
constexpr std::uint32_t MultiPoint = 4;
constexpr std::uint32_t MultiLineString = 5;
constexpr std::uint32_t MultiPolygon = 6;
}  // namespace WkbType

char* putInt(char* at, std::uint32_t value) {
    qToLittleEndian<quint32>(value, at);
    return at + 4;
}

char* putDouble(char* at, double value) {
    qToLittleEndian<double>(value, at);
    return at + 8;
}

// Grows `out` by `bytes` and returns where they start.
char* grow(QByteArray& out, std::size_t bytes) {
    const qsizetype at = out.size();
    out.resize(at + static_cast<qsizetype>(bytes));
    return out.data() + at;
}

}  // namespace

WkbWriter::WkbWriter(ShapeKind kind, bool z, bool m, Flavour flavour, std::int32_t srid)
    : m_kind(kind), m_z(z), m_m(m), m_flavour(flavour), m_srid(srid) {}

// The byte order and type of one geometry; `outer`: the outermost, which alone carries an SRID.
char* WkbWriter::header(char* at, std::uint32_t type, bool outer) const {
    *at++ = 1;  // little endian
    if (m_flavour == Flavour::Iso) {
        return putInt(at, type + (m_z ? 1000 : 0) + (m_m ? 2000 : 0));
    }
    const bool srid = outer && m_srid != 0;
    at = putInt(
        at, type | (m_z ? 0x80000000u : 0) | (m_m ? 0x40000000u : 0) | (srid ? 0x20000000u : 0));
    return srid ? putInt(at, static_cast<std::uint32_t>(m_srid)) : at;
}

char* WkbWriter::points(char* at, const ShapeRecord& record, std::int32_t first,
                        std::int32_t end) const {
    if (!m_z && !m_m) {
        const std::size_t bytes = 16 * static_cast<std::size_t>(end - first);
        std::memcpy(at, record.xy() + 16 * std::int64_t{first}, bytes);
        return at + bytes;
    }
    for (std::int32_t i = first; i < end; ++i) {
        std::memcpy(at, record.xy() + 16 * std::int64_t{i}, 16);
        at += 16;
        if (m_z) {
            at = putDouble(at, record.hasZ() ? record.z(i) : 0.0);
        }
        if (m_m) {
            const double measure = record.hasM() ? record.m(i) : kNoMeasure;
            at = putDouble(at, ShapeRecord::isMeasure(measure)
                                   ? measure
                                   : std::numeric_limits<double>::quiet_NaN());
        }
    }
    return at;
}

void WkbWriter::append(const ShapeRecord& record, QByteArray& out) {
    switch (m_kind) {
        case ShapeKind::Point:
        case ShapeKind::MultiPoint:
            appendPoints(record, out);
            return;
        case ShapeKind::PolyLine:
            appendLines(record, out);
            return;
        default:
            appendPolygons(record, out);
            return;
    }
}

void WkbWriter::appendPoints(const ShapeRecord& record, QByteArray& out) {
    if (m_kind == ShapeKind::Point) {
        char* at = grow(out, outerHeaderBytes() + pointBytes());
        points(header(at, WkbType::Point, true), record, 0, 1);
        return;
    }
    const std::int32_t count = record.pointCount();
    char* at = grow(out, outerHeaderBytes() + 4 + count * (5 + pointBytes()));
    at = putInt(header(at, WkbType::MultiPoint, true), static_cast<std::uint32_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        at = points(header(at, WkbType::Point, false), record, i, i + 1);
    }
}

void WkbWriter::appendLines(const ShapeRecord& record, QByteArray& out) {
    const std::int32_t parts = record.partCount();
    char* at = grow(out, outerHeaderBytes() + 4 + 9 * static_cast<std::size_t>(parts) +
                             record.pointCount() * pointBytes());
    at = putInt(header(at, WkbType::MultiLineString, true), static_cast<std::uint32_t>(parts));
    for (std::int32_t part = 0; part < parts; ++part) {
        const std::int32_t first = record.partStart(part);
        const std::int32_t end = record.partEnd(part);
        at =
            putInt(header(at, WkbType::LineString, false), static_cast<std::uint32_t>(end - first));
        at = points(at, record, first, end);
    }
}

void WkbWriter::appendPolygons(const ShapeRecord& record, QByteArray& out) {
    m_rings.organise(record);
    const std::size_t polygons = m_rings.polygonCount();
    char* at = grow(out, outerHeaderBytes() + 4 + 9 * polygons + 4 * record.partCount() +
                             record.pointCount() * pointBytes());
    at = putInt(header(at, WkbType::MultiPolygon, true), static_cast<std::uint32_t>(polygons));
    for (std::size_t polygon = 0; polygon < polygons; ++polygon) {
        const std::size_t rings = m_rings.ringCount(polygon);
        at = putInt(header(at, WkbType::Polygon, false), static_cast<std::uint32_t>(rings));
        for (std::size_t i = 0; i < rings; ++i) {
            const std::int32_t ring = m_rings.rings(polygon)[i];
            const std::int32_t first = record.partStart(ring);
            const std::int32_t end = record.partEnd(ring);
            at = putInt(at, static_cast<std::uint32_t>(end - first));
            at = points(at, record, first, end);
        }
    }
}
