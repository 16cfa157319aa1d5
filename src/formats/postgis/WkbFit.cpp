#include "formats/postgis/WkbFit.h"

#include <cstdint>

namespace {
struct WkbHeader {
    int flat = 0;
    int dimensions = 0;
};

std::optional<WkbHeader> readHeader(std::string_view wkb) {
    if (wkb.size() < 5 || (wkb[0] != 0 && wkb[0] != 1)) {
        return std::nullopt;
    }
    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(wkb[wkb[0] == 1 ? 1 + i : 4 - i]);
        code |= static_cast<std::uint32_t>(byte) << (8 * i);
    }
    if (code & 0xE0000000u) {  // extended WKB: dimensions in flag bits
        return WkbHeader{static_cast<int>(code & 0x0FFFFFFFu),
                         ((code & 0x80000000u) ? 1 : 0) + ((code & 0x40000000u) ? 2 : 0)};
    }
    if (code >= 4000) {
        return std::nullopt;
    }
    return WkbHeader{static_cast<int>(code % 1000), static_cast<int>(code / 1000)};
}
}  // namespace

WkbFit::WkbFit(OGRwkbGeometryType column)
    : m_flat(static_cast<int>(wkbFlatten(column))),
      m_dimensions((OGR_GT_HasZ(column) ? 1 : 0) + (OGR_GT_HasM(column) ? 2 : 0)) {
    switch (m_flat) {
        case wkbMultiPoint:
            m_single = wkbPoint;
            break;
        case wkbMultiLineString:
            m_single = wkbLineString;
            break;
        case wkbMultiPolygon:
            m_single = wkbPolygon;
            break;
        default:
            m_single = 0;
    }
    const std::uint32_t code = static_cast<std::uint32_t>(m_flat + 1000 * m_dimensions);
    m_wrap = {
        1, static_cast<char>(code & 0xff), static_cast<char>((code >> 8) & 0xff), 0, 0, 1, 0, 0, 0};
}

std::optional<std::string_view> WkbFit::header(std::string_view wkb) const {
    const std::optional<WkbHeader> geometry = readHeader(wkb);
    if (!geometry) {
        return std::nullopt;
    }
    if (m_flat == wkbUnknown) {
        return std::string_view();
    }
    if (geometry->dimensions != m_dimensions) {
        return std::nullopt;
    }
    if (geometry->flat == m_flat) {
        return std::string_view();
    }
    if (m_single != 0 && geometry->flat == m_single) {
        return std::string_view(m_wrap.data(), m_wrap.size());
    }
    return std::nullopt;
}

QByteArray WkbFit::typeName() const {
    static const char* const kNames[] = {
        "Geometry",   "Point",           "LineString",   "Polygon",
        "MultiPoint", "MultiLineString", "MultiPolygon", "GeometryCollection"};
    QByteArray name = m_flat >= 0 && m_flat <= 7 ? kNames[m_flat] : "Geometry";
    if (m_dimensions & 1) {
        name += 'Z';
    }
    if (m_dimensions & 2) {
        name += 'M';
    }
    return name;
}
