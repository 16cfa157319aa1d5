#pragma once

#include "shapefile/ShapeRecord.h"

#include <cstdint>
#include <vector>

// Groups the rings of a polygon record into polygons, the way shapefiles mean them: a ring
// wound clockwise in x/y (or of no area) is an outer ring, a counter-clockwise one a hole.
// Each hole belongs to the smallest outer ring that contains it; a hole that no outer ring
// contains is taken as a polygon of its own, so its area is kept rather than cut out of another
// polygon or lost. Polygons come in the order of their first ring, holes in file order.
// Memory is kept from one record to the next.
class PolygonRings {
public:
    void organise(const ShapeRecord& record);

    std::size_t polygonCount() const { return m_starts.size(); }
    // The rings (part numbers) of polygon `i`, its outer ring first.
    const std::int32_t* rings(std::size_t i) const { return m_order.data() + m_starts[i]; }
    std::size_t ringCount(std::size_t i) const {
        return (i + 1 < m_starts.size() ? m_starts[i + 1] : m_order.size()) - m_starts[i];
    }

private:
    struct Ring {
        double area = 0;  // signed: negative is clockwise
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        std::int32_t owner = -1;  // holes: the outer ring they belong to; outer rings: -1
    };
    bool contains(const ShapeRecord& record, std::int32_t outer, std::int32_t hole) const;

    std::vector<Ring> m_rings;
    std::vector<std::int32_t> m_order;
    std::vector<std::size_t> m_starts;
};
