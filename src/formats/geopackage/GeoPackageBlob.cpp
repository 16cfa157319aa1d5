#include "formats/geopackage/GeoPackageBlob.h"

namespace {
constexpr char kLittleEndian = 0x01;
constexpr char kEnvelopeXY = 0x02;   // envelope indicator 1
constexpr char kEnvelopeXYZ = 0x04;  // envelope indicator 2
constexpr char kEmpty = 0x10;

void putDouble(QByteArray& out, double value) {
    char bytes[8];
    qToLittleEndian<double>(value, bytes);
    out.append(bytes, 8);
}
}  // namespace

namespace GeoPackageBlob {

void write(const ShapeRecord& record, std::int32_t srsId, WkbWriter& wkb, QByteArray& out) {
    const bool empty = record.pointCount() == 0;
    const bool envelope = !empty && wkb.kind() != ShapeKind::Point;
    char flags = kLittleEndian;
    if (empty) {
        flags |= kEmpty;
    } else if (envelope) {
        flags |= wkb.hasZ() ? kEnvelopeXYZ : kEnvelopeXY;
    }
    out.resize(0);
    const char start[4] = {'G', 'P', 0, flags};
    out.append(start, 4);
    char srs[4];
    qToLittleEndian<qint32>(srsId, srs);
    out.append(srs, 4);
    if (envelope) {
        const ShapeRecord::Ranges& ranges = record.ranges();
        putDouble(out, ranges.minX);
        putDouble(out, ranges.maxX);
        putDouble(out, ranges.minY);
        putDouble(out, ranges.maxY);
        if (wkb.hasZ()) {
            putDouble(out, ranges.minZ);  // 0 and 0 when the record has no Z: the Z written
            putDouble(out, ranges.maxZ);
        }
    }
    wkb.append(record, out);
}

}  // namespace GeoPackageBlob
