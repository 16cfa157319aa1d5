// The shape record reader of the merge and everything that turns a record into output: any
// bytes give a valid record view or a refusal, and a valid record converts to every raw type
// of its family, to WKB and to a GeoPackage blob without fault; the converted record reads
// back valid with the same points.
#include "FuzzTarget.h"
#include "formats/DbfValue.h"
#include "formats/WkbWriter.h"
#include "formats/geopackage/GeoPackageBlob.h"
#include "shapefile/ShapeConvert.h"
#include "support/ShapeBytes.h"

namespace {

using ShapeBytes::Part;
using ShapeBytes::record;

QList<QByteArray> seeds() {
    const Part square{{0, 0, 1, 5}, {0, 10, 2, -1e39}, {10, 10, 3, 7}, {0, 0, 1, 5}};
    const Part hole{{2, 2}, {4, 2}, {4, 4}, {2, 2}};
    return {record(ShpType::PolygonZ, {square, hole}), record(ShpType::PolyLineM, {square}),
            record(ShpType::MultiPointZ, {square}, false), record(ShpType::PointM, {{{1, 2}}}),
            record(ShpType::Polygon, {square, hole, square})};
}

void checkConversions(const ShapeRecord& shape) {
    QByteArray bytes;
    for (const bool z : {false, true}) {
        for (const bool m : {false, true}) {
            for (const ShapeKind kind : {ShapeKind::Point, ShapeKind::MultiPoint,
                                         ShapeKind::PolyLine, ShapeKind::Polygon}) {
                if (!fitsKind(shape, kind)) {
                    continue;
                }
                ShapeConvert::convert(shape, ShpType::of(kind, z, m), bytes);
                ShapeRecord converted;
                FUZZ_CHECK(converted.parse(bytes.constData(), bytes.size()) ==
                           ShapeRecord::Status::Ok);
                FUZZ_CHECK(converted.pointCount() == shape.pointCount());
                WkbWriter wkb(kind, z, m);
                GeoPackageBlob::write(shape, 4326, wkb, bytes);
                FUZZ_CHECK(bytes.size() > 8);
            }
        }
    }
}

void run(const QByteArray& input) {
    ShapeRecord shape;
    if (shape.parse(input.constData(), input.size()) != ShapeRecord::Status::Ok) {
        DbfValue::formatNumber(input, 3);
        DbfValue::date(input);
        return;
    }
    for (std::int32_t part = 0; part < shape.partCount(); ++part) {
        FUZZ_CHECK(shape.partStart(part) < shape.partEnd(part));
        FUZZ_CHECK(shape.partEnd(part) <= shape.pointCount());
    }
    if (shape.pointCount() > 0) {
        FUZZ_CHECK(shape.ranges().minX <= shape.ranges().maxX);
    }
    if (!shape.isNull() && shape.kind() != ShapeKind::MultiPatch) {
        checkConversions(shape);
    }
}

}  // namespace

CONFLUX_FUZZ_TARGET(ShapeRecord, seeds, run, 1024,
                    {QByteArray("\x05\0\0\0", 4), QByteArray("\x0f\0\0\0", 4),
                     QByteArray("\x01\0\0\0", 4), QByteArray("\0\0\xf8\x7f", 4),
                     QByteArray(8, '\0')});
