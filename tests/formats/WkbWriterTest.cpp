#include "support/ShapeBytes.h"

#include "formats/WkbWriter.h"

#include <gtest/gtest.h>
#include <ogr_geometry.h>

#include <memory>

namespace {

using ShapeBytes::Part;
using ShapeBytes::record;

// The WKB as GDAL reads it, in ISO WKT.
std::string readBack(const QByteArray& wkb) {
    OGRGeometry* geometry = nullptr;
    if (OGRGeometryFactory::createFromWkb(wkb.constData(), nullptr, &geometry, wkb.size(),
                                          wkbVariantIso) != OGRERR_NONE) {
        return "<unreadable>";
    }
    std::unique_ptr<OGRGeometry> owned(geometry);
    OGRWktOptions options;
    options.variant = wkbVariantIso;
    return owned->exportToWkt(options, nullptr);
}

QByteArray wkbOf(const QByteArray& bytes, ShapeKind kind, bool z, bool m) {
    ShapeRecord shape;
    EXPECT_EQ(shape.parse(bytes.constData(), bytes.size()), ShapeRecord::Status::Ok);
    QByteArray out;
    WkbWriter(kind, z, m).append(shape, out);
    return out;
}

struct WkbCase {
    const char* name;
    QByteArray record;
    ShapeKind kind;
    bool z;
    bool m;
    const char* wkt;
};

class WkbWriterWrites : public testing::TestWithParam<WkbCase> {};

TEST_P(WkbWriterWrites, WhatGdalReadsBack) {
    const WkbCase& row = GetParam();
    EXPECT_EQ(readBack(wkbOf(row.record, row.kind, row.z, row.m)), row.wkt);
}

const Part kOuter{{0, 0, 1}, {0, 10, 2}, {10, 10, 3}, {10, 0, 4}, {0, 0, 1}};
const Part kHole{{2, 2, 9}, {4, 2, 0}, {4, 4, 9}, {2, 4, 0}, {2, 2, 9}};

INSTANTIATE_TEST_SUITE_P(
    Records, WkbWriterWrites,
    testing::Values(
        WkbCase{"Point", record(ShpType::Point, {{{1, 2}}}), ShapeKind::Point, false, false,
                "POINT (1 2)"},
        WkbCase{"PointMGetsZeroZ", record(ShpType::PointM, {{{1, 2, 0, 7}}}), ShapeKind::Point,
                true, true, "POINT ZM (1 2 0 7)"},
        WkbCase{"OnePointMultiPointAsPoint", record(ShpType::MultiPoint, {{{5, 6}}}),
                ShapeKind::Point, false, false, "POINT (5 6)"},
        WkbCase{"PointAsMultiPoint", record(ShpType::PointZ, {{{5, 6, 7}}}), ShapeKind::MultiPoint,
                true, false, "MULTIPOINT Z ((5 6 7))"},
        WkbCase{"MultiPartLineKeepsEveryZ",
                record(ShpType::PolyLineZ, {{{0, 0, 1}, {1, 1, 2}}, {{5, 5, 3}, {6, 6, 4}}}),
                ShapeKind::PolyLine, true, false,
                "MULTILINESTRING Z ((0 0 1,1 1 2),(5 5 3,6 6 4))"},
        WkbCase{
            "MultiPartPolygonKeepsEveryMeasure",
            record(ShpType::PolygonM, {{{0, 0, 0, 1}, {0, 1, 0, 2}, {1, 1, 0, 3}, {0, 0, 0, 1}},
                                       {{5, 5, 0, 4}, {5, 6, 0, 5}, {6, 6, 0, 6}, {5, 5, 0, 4}}}),
            ShapeKind::Polygon, false, true,
            "MULTIPOLYGON M (((0 0 1,0 1 2,1 1 3,0 0 1)),((5 5 4,5 6 5,6 6 6,5 5 4)))"},
        WkbCase{"NonPlanarPolygonZKeepsItsHole", record(ShpType::PolygonZ, {kOuter, kHole}),
                ShapeKind::Polygon, true, false,
                "MULTIPOLYGON Z (((0 0 1,0 10 2,10 10 3,10 0 4,0 0 1),(2 2 9,4 2 0,4 4 9,2 4 0,2 2 "
                "9)))"},
        WkbCase{"EmptyLine", record(ShpType::PolyLine, {}), ShapeKind::PolyLine, false, false,
                "MULTILINESTRING EMPTY"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WkbWriter, NoDataAndMissingMeasuresAreNaN) {
    const QByteArray noData =
        wkbOf(record(ShpType::PointM, {{{1, 2, 0, -1e39}}}), ShapeKind::Point, false, true);
    const QByteArray missing =
        wkbOf(record(ShpType::Point, {{{1, 2}}}), ShapeKind::Point, false, true);
    for (const QByteArray& wkb : {noData, missing}) {
        ASSERT_EQ(wkb.size(), 5 + 24);
        EXPECT_TRUE(std::isnan(qFromLittleEndian<double>(wkb.constData() + 21)));
    }
}

TEST(WkbWriter, ExtendedFlavourCarriesDimensionFlagsAndTheSridOnTheOuterGeometryOnly) {
    const QByteArray bytes = record(ShpType::MultiPointZ, {{{1, 2, 3}}});
    ShapeRecord shape;
    ASSERT_EQ(shape.parse(bytes.constData(), bytes.size()), ShapeRecord::Status::Ok);
    QByteArray out;
    WkbWriter(ShapeKind::MultiPoint, true, false, WkbWriter::Flavour::Extended, 4326)
        .append(shape, out);
    ASSERT_EQ(out.size(), 1 + 4 + 4 + 4 + 1 + 4 + 24);
    EXPECT_EQ(qFromLittleEndian<quint32>(out.constData() + 1), 0xA0000004u);
    EXPECT_EQ(qFromLittleEndian<quint32>(out.constData() + 5), 4326u);
    EXPECT_EQ(qFromLittleEndian<quint32>(out.constData() + 14), 0x80000001u);
}

TEST(WkbWriter, PolygonZHoleLeavesItsAreaOut) {
    const QByteArray wkb =
        wkbOf(record(ShpType::PolygonZ, {kOuter, kHole}), ShapeKind::Polygon, true, false);
    OGRGeometry* geometry = nullptr;
    ASSERT_EQ(OGRGeometryFactory::createFromWkb(wkb.constData(), nullptr, &geometry, wkb.size()),
              OGRERR_NONE);
    std::unique_ptr<OGRGeometry> owned(geometry);
    EXPECT_EQ(owned->toMultiPolygon()->get_Area(), 100.0 - 4.0);
}

}  // namespace
