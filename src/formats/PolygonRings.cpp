#include "formats/PolygonRings.h"

#include <algorithm>
#include <cmath>

namespace {

enum class Side { Inside, Outside, Boundary };

// Where point (px, py) lies against the ring of points first..end of `record` (crossing count).
Side sideOf(const ShapeRecord& record, std::int32_t first, std::int32_t end, double px, double py) {
    bool inside = false;
    for (std::int32_t i = first, j = end - 1; i < end; j = i++) {
        const double xi = record.x(i), yi = record.y(i);
        const double xj = record.x(j), yj = record.y(j);
        const double cross = (xj - xi) * (py - yi) - (yj - yi) * (px - xi);
        if (cross == 0 && std::min(xi, xj) <= px && px <= std::max(xi, xj) &&
            std::min(yi, yj) <= py && py <= std::max(yi, yj)) {
            return Side::Boundary;
        }
        if ((yi > py) != (yj > py) && (cross > 0) == (yj > yi)) {
            inside = !inside;
        }
    }
    return inside ? Side::Inside : Side::Outside;
}

}  // namespace

// A hole lies inside an outer ring when its first vertex off the outer ring's boundary does;
// holes may touch their outer ring.
bool PolygonRings::contains(const ShapeRecord& record, std::int32_t outer,
                            std::int32_t hole) const {
    const Ring& o = m_rings[static_cast<std::size_t>(outer)];
    const Ring& h = m_rings[static_cast<std::size_t>(hole)];
    if (h.minX < o.minX || h.maxX > o.maxX || h.minY < o.minY || h.maxY > o.maxY) {
        return false;
    }
    const std::int32_t first = record.partStart(outer);
    const std::int32_t end = record.partEnd(outer);
    for (std::int32_t i = record.partStart(hole); i < record.partEnd(hole); ++i) {
        const Side side = sideOf(record, first, end, record.x(i), record.y(i));
        if (side != Side::Boundary) {
            return side == Side::Inside;
        }
    }
    return true;
}

void PolygonRings::organise(const ShapeRecord& record) {
    const std::int32_t count = record.partCount();
    m_order.clear();
    m_starts.clear();
    if (count == 1) {
        m_starts.push_back(0);
        m_order.push_back(0);
        return;
    }
    m_rings.assign(static_cast<std::size_t>(count), Ring{});
    for (std::int32_t part = 0; part < count; ++part) {
        Ring& ring = m_rings[static_cast<std::size_t>(part)];
        const std::int32_t first = record.partStart(part);
        const std::int32_t end = record.partEnd(part);
        ring.minX = ring.maxX = record.x(first);
        ring.minY = ring.maxY = record.y(first);
        double twiceArea = 0;
        for (std::int32_t i = first; i < end; ++i) {
            const std::int32_t next = i + 1 < end ? i + 1 : first;
            twiceArea += record.x(i) * record.y(next) - record.x(next) * record.y(i);
            ring.minX = std::min(ring.minX, record.x(i));
            ring.maxX = std::max(ring.maxX, record.x(i));
            ring.minY = std::min(ring.minY, record.y(i));
            ring.maxY = std::max(ring.maxY, record.y(i));
        }
        ring.area = twiceArea / 2;
    }
    for (std::int32_t hole = 0; hole < count; ++hole) {
        if (m_rings[static_cast<std::size_t>(hole)].area <= 0) {
            continue;
        }
        double smallest = 0;
        for (std::int32_t outer = 0; outer < count; ++outer) {
            const double area = -m_rings[static_cast<std::size_t>(outer)].area;
            if (area >= 0 &&
                (m_rings[static_cast<std::size_t>(hole)].owner < 0 || area < smallest) &&
                contains(record, outer, hole)) {
                m_rings[static_cast<std::size_t>(hole)].owner = outer;
                smallest = area;
            }
        }
    }
    for (std::int32_t ring = 0; ring < count; ++ring) {
        if (m_rings[static_cast<std::size_t>(ring)].owner >= 0) {
            continue;  // a hole, placed with its outer ring
        }
        m_starts.push_back(m_order.size());
        m_order.push_back(ring);
        for (std::int32_t hole = 0; hole < count; ++hole) {
            if (m_rings[static_cast<std::size_t>(hole)].owner == ring) {
                m_order.push_back(hole);
            }
        }
    }
}
