#include "support/ShapeBytes.h"

#include "formats/geopackage/GeoPackageBlob.h"

#include <gtest/gtest.h>

namespace {

using ShapeBytes::record;

QByteArray blobOf(const QByteArray& bytes, ShapeKind kind, bool z) {
    ShapeRecord shape;
    EXPECT_EQ(shape.parse(bytes.constData(), bytes.size()), ShapeRecord::Status::Ok);
    WkbWriter wkb(kind, z, false);
    QByteArray blob;
    GeoPackageBlob::write(shape, 3857, wkb, blob);
    return blob;
}

double at(const QByteArray& blob, int offset) {
    return qFromLittleEndian<double>(blob.constData() + offset);
}

TEST(GeoPackageBlob, HeaderCarriesTheSrsAndAnEnvelopeBeforeTheWkb) {
    const QByteArray blob =
        blobOf(record(ShpType::PolyLineZ, {{{1, 2, 5}, {3, -4, 6}}}), ShapeKind::PolyLine, true);
    ASSERT_GE(blob.size(), 8 + 48);
    EXPECT_EQ(blob.left(3), QByteArray("GP\0", 3));
    EXPECT_EQ(blob[3], 0x05);  // little endian, envelope of x, y and z
    EXPECT_EQ(qFromLittleEndian<qint32>(blob.constData() + 4), 3857);
    EXPECT_EQ(at(blob, 8), 1);    // min x
    EXPECT_EQ(at(blob, 16), 3);   // max x
    EXPECT_EQ(at(blob, 24), -4);  // min y
    EXPECT_EQ(at(blob, 32), 2);   // max y
    EXPECT_EQ(at(blob, 40), 5);   // min z
    EXPECT_EQ(at(blob, 48), 6);   // max z
    EXPECT_EQ(blob[56], 1);       // the WKB's byte order
    EXPECT_EQ(qFromLittleEndian<quint32>(blob.constData() + 57), 1005u);
}

TEST(GeoPackageBlob, PointsHaveNoEnvelopeAndEmptyGeometriesAreFlagged) {
    const QByteArray point = blobOf(record(ShpType::Point, {{{1, 2}}}), ShapeKind::Point, false);
    EXPECT_EQ(point[3], 0x01);
    EXPECT_EQ(point.size(), 8 + 21);
    const QByteArray empty =
        blobOf(record(ShpType::MultiPoint, {{}}), ShapeKind::MultiPoint, false);
    EXPECT_EQ(empty[3], 0x11);
    EXPECT_EQ(empty.size(), 8 + 9);
}

}  // namespace
