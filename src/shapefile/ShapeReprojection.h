#pragma once

#include "shapefile/ShapeRecord.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <vector>

// Moves points from one coordinate system into another; each thread uses its own.
class PointTransformer {
public:
    virtual ~PointTransformer() = default;
    // Transforms `count` points in place. `z` may be null: the heights are then kept as they
    // are. Sets `ok[i]` to 1 where point i was transformed, to 0 where it could not be.
    virtual void transform(std::size_t count, double* x, double* y, double* z, int* ok) = 0;
};

// Reprojects many shape records with one call of the transformer for all their points. Each
// record keeps its type, parts and measures; its box and Z range hold the new coordinates, and
// a ring whose winding the transformation turns is turned back, so outer rings and holes keep
// their roles. A record with a point that cannot be transformed, or becomes infinite or not a
// number, is not reprojected.
class ShapeBatchReprojection {
public:
    // Takes a copy of `record` (parsed Ok, not null); its index is the number of records added
    // before it since the last clear().
    void add(const ShapeRecord& record);
    std::size_t size() const { return m_entries.size(); }

    // Transforms every record added.
    void run(PointTransformer& transformer);

    // After run(): whether record `i` was reprojected, and its content (valid until clear()).
    bool reprojected(std::size_t i) const { return m_entries[i].reprojected; }
    QByteArrayView content(std::size_t i) const {
        return QByteArrayView(m_arena.constData() + m_entries[i].offset, m_entries[i].length);
    }

    void clear();

private:
    struct Entry {
        std::int64_t offset = 0;
        std::int64_t length = 0;
        std::size_t firstPoint = 0;  // in the gathered coordinates
        bool reprojected = false;
    };
    void gather();
    void writeBack(Entry& entry);

    QByteArray m_arena;
    std::vector<Entry> m_entries;
    std::vector<double> m_x, m_y, m_z;
    std::vector<int> m_ok;
    std::vector<double> m_before;  // a ring's x/y before, to tell its winding
};
