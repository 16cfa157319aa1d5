#include "shapefile/ShapeConvert.h"

#include <algorithm>
#include <cstring>

namespace {

// Appends little-endian values to a record being built.
class Appender {
public:
    explicit Appender(QByteArray& out) : m_out(out) { m_out.resize(0); }
    void integer(std::int32_t value) {
        char bytes[4];
        qToLittleEndian<qint32>(value, bytes);
        m_out.append(bytes, 4);
    }
    void real(double value) {
        char bytes[8];
        qToLittleEndian<double>(value, bytes);
        m_out.append(bytes, 8);
    }
    void raw(const char* bytes, qsizetype size) { m_out.append(bytes, size); }

private:
    QByteArray& m_out;
};

struct Dimensions {
    bool z = false;
    bool m = false;
};

// What a record of raw type `shpType` made from `record` carries.
Dimensions dimensionsOf(const ShapeRecord& record, std::int32_t shpType) {
    const bool z = ShpType::hasZ(shpType);
    return {z, ShpType::isMeasured(shpType) || (z && record.hasM())};
}

double zOf(const ShapeRecord& record, std::int32_t i) {
    return record.hasZ() ? record.z(i) : 0.0;
}

double mOf(const ShapeRecord& record, std::int32_t i) {
    return record.hasM() ? record.m(i) : kNoMeasure;
}

// A range and the values of one extra dimension (Z or M).
template <typename Value>
void appendDimension(Appender& out, const ShapeRecord& record, Value value, bool measures) {
    double low = 0, high = 0;
    bool any = false;
    for (std::int32_t i = 0; i < record.pointCount(); ++i) {
        const double v = value(record, i);
        if (measures && !ShapeRecord::isMeasure(v)) {
            continue;
        }
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    if (measures && !any) {
        low = high = kNoMeasure;
    }
    out.real(low);
    out.real(high);
    for (std::int32_t i = 0; i < record.pointCount(); ++i) {
        out.real(value(record, i));
    }
}

void convertPoint(const ShapeRecord& record, std::int32_t shpType, Appender& out) {
    const Dimensions dims = dimensionsOf(record, shpType);
    out.integer(shpType);
    out.raw(record.xy(), 16);
    if (dims.z) {
        out.real(zOf(record, 0));
    }
    if (dims.m) {
        out.real(mOf(record, 0));
    }
}

void convertMulti(const ShapeRecord& record, std::int32_t shpType, Appender& out) {
    const Dimensions dims = dimensionsOf(record, shpType);
    const ShapeRecord::Ranges& ranges = record.ranges();
    out.integer(shpType);
    out.real(ranges.minX);
    out.real(ranges.minY);
    out.real(ranges.maxX);
    out.real(ranges.maxY);
    if (ShpType::kindOf(shpType) != ShapeKind::MultiPoint) {
        out.integer(record.partCount());
    }
    out.integer(record.pointCount());
    for (std::int32_t part = 0; part < record.partCount(); ++part) {
        out.integer(record.partStart(part));
    }
    out.raw(record.xy(), 16 * qsizetype{record.pointCount()});
    if (dims.z) {
        appendDimension(out, record, zOf, false);
    }
    if (dims.m) {
        appendDimension(out, record, mOf, true);
    }
}

}  // namespace

namespace ShapeConvert {

void convert(const ShapeRecord& record, std::int32_t shpType, QByteArray& out) {
    Appender appender(out);
    if (ShpType::kindOf(shpType) == ShapeKind::Point) {
        convertPoint(record, shpType, appender);
    } else {
        convertMulti(record, shpType, appender);
    }
}

QByteArray nullRecord() {
    return QByteArray(4, '\0');
}

}  // namespace ShapeConvert
