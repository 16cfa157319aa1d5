#include "shapefile/ShapeReprojection.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Points per call of the transformer: large enough to make its own cost vanish.
constexpr std::size_t kPointsPerCall = 1 << 16;

void putDouble(char* at, double value) {
    qToLittleEndian<double>(value, at);
}

// Twice the signed x/y area of points [first, end) given as x, y arrays: positive when the
// ring runs counter-clockwise.
double signedArea(const double* x, const double* y, std::int32_t first, std::int32_t end) {
    double area = 0;
    for (std::int32_t i = first; i + 1 < end; ++i) {
        area += x[i] * y[i + 1] - x[i + 1] * y[i];
    }
    return area;
}

// Reverses points [first, end) of the `stride`-byte values starting at `at`.
void reverseValues(char* at, std::int32_t first, std::int32_t end, int stride) {
    char swap[16];
    for (std::int32_t a = first, b = end - 1; a < b; ++a, --b) {
        std::memcpy(swap, at + std::int64_t{stride} * a, stride);
        std::memcpy(at + std::int64_t{stride} * a, at + std::int64_t{stride} * b, stride);
        std::memcpy(at + std::int64_t{stride} * b, swap, stride);
    }
}

}  // namespace

void ShapeBatchReprojection::add(const ShapeRecord& record) {
    Entry entry;
    entry.offset = m_arena.size();
    entry.length = record.length();
    m_arena.append(record.content(), record.length());
    m_entries.push_back(entry);
}

void ShapeBatchReprojection::clear() {
    m_arena.resize(0);
    m_entries.clear();
}

// Every record's points into one array per axis, in the records' order.
void ShapeBatchReprojection::gather() {
    m_x.clear();
    m_y.clear();
    m_z.clear();
    ShapeRecord record;
    for (Entry& entry : m_entries) {
        record.parse(m_arena.constData() + entry.offset, entry.length);
        entry.firstPoint = m_x.size();
        for (std::int32_t i = 0; i < record.pointCount(); ++i) {
            m_x.push_back(record.x(i));
            m_y.push_back(record.y(i));
            m_z.push_back(record.hasZ() ? record.z(i) : 0.0);
        }
    }
}

void ShapeBatchReprojection::run(PointTransformer& transformer) {
    gather();
    m_ok.assign(m_x.size(), 0);  // a point counts only when the transformer says so
    for (std::size_t at = 0; at < m_x.size(); at += kPointsPerCall) {
        const std::size_t count = std::min(kPointsPerCall, m_x.size() - at);
        transformer.transform(count, m_x.data() + at, m_y.data() + at, m_z.data() + at,
                              m_ok.data() + at);
    }
    for (Entry& entry : m_entries) {
        writeBack(entry);
    }
}

void ShapeBatchReprojection::writeBack(Entry& entry) {
    char* content = m_arena.data() + entry.offset;
    ShapeRecord record;
    record.parse(content, entry.length);
    const std::int32_t count = record.pointCount();
    const std::size_t first = entry.firstPoint;
    for (std::int32_t i = 0; i < count; ++i) {
        if (!m_ok[first + i] || !std::isfinite(m_x[first + i]) || !std::isfinite(m_y[first + i]) ||
            (record.hasZ() && !std::isfinite(m_z[first + i]))) {
            entry.reprojected = false;
            return;
        }
    }
    // The winding of each ring as read, before the coordinates are overwritten.
    m_before.resize(2 * static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        m_before[i] = record.x(i);
        m_before[count + i] = record.y(i);
    }
    char* xy = content + record.xyOffset();
    char* z = record.hasZ() ? content + record.zOffset() : nullptr;
    for (std::int32_t i = 0; i < count; ++i) {
        putDouble(xy + 16 * std::int64_t{i}, m_x[first + i]);
        putDouble(xy + 16 * std::int64_t{i} + 8, m_y[first + i]);
        if (z) {
            putDouble(z + 8 * std::int64_t{i}, m_z[first + i]);
        }
    }
    if (record.kind() == ShapeKind::Polygon) {
        for (std::int32_t part = 0; part < record.partCount(); ++part) {
            const std::int32_t from = record.partStart(part);
            const std::int32_t to = record.partEnd(part);
            const double was = signedArea(m_before.data(), m_before.data() + count, from, to);
            const double now = signedArea(&m_x[first], &m_y[first], from, to);
            if ((was < 0) != (now < 0) && was != 0 && now != 0) {
                reverseValues(xy, from, to, 16);
                if (z) {
                    reverseValues(z, from, to, 8);
                }
                if (record.hasM()) {
                    reverseValues(content + record.mOffset(), from, to, 8);
                }
            }
        }
    }
    // The record's own box and Z range: what readers that trust them see.
    record.parse(content, entry.length);
    const ShapeRecord::Ranges& ranges = record.ranges();
    if (record.kind() != ShapeKind::Point) {
        putDouble(content + 4, ranges.minX);
        putDouble(content + 12, ranges.minY);
        putDouble(content + 20, ranges.maxX);
        putDouble(content + 28, ranges.maxY);
        if (z) {
            putDouble(z - 16, ranges.minZ);
            putDouble(z - 8, ranges.maxZ);
        }
    }
    entry.reprojected = true;
}
