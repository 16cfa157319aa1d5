#include "support/ShapeBytes.h"

#include "shapefile/ShapeRecord.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using ShapeBytes::Part;
using ShapeBytes::record;
using Status = ShapeRecord::Status;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

const Part kSquare{{0, 0, 1, 5}, {0, 10, 2, -1e39}, {10, 10, 3, 7}, {10, 0, 4, 6}, {0, 0, 1, 5}};

QByteArray withInt(QByteArray bytes, int at, std::int32_t value) {
    qToLittleEndian<qint32>(value, bytes.data() + at);
    return bytes;
}

struct ParseCase {
    const char* name;
    QByteArray bytes;
    Status status;
    std::int32_t points = 0;
    bool hasZ = false;
    bool hasM = false;
};

class ShapeRecordParse : public testing::TestWithParam<ParseCase> {};

TEST_P(ShapeRecordParse, ChecksLengthsCountsAndCoordinates) {
    const ParseCase& row = GetParam();
    ShapeRecord shape;
    ASSERT_EQ(shape.parse(row.bytes.constData(), row.bytes.size()), row.status);
    if (row.status == Status::Ok) {
        EXPECT_EQ(shape.pointCount(), row.points);
        EXPECT_EQ(shape.hasZ(), row.hasZ);
        EXPECT_EQ(shape.hasM(), row.hasM);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ShapeRecordParse,
    testing::Values(
        ParseCase{"Null", record(ShpType::Null, {}), Status::Ok},
        ParseCase{"PointZWithoutItsOptionalMeasure", record(ShpType::PointZ, {{{1, 2, 3}}}, false),
                  Status::Ok, 1, true, false},
        ParseCase{"PolygonZWithMeasures", record(ShpType::PolygonZ, {kSquare}), Status::Ok, 5, true,
                  true},
        ParseCase{"PolygonMWithoutItsMeasureSection",
                  record(ShpType::PolygonM, {kSquare}).left(44 + 4 + 80), Status::Ok, 5, false,
                  false},
        ParseCase{"EmptyMultiPoint", record(ShpType::MultiPoint, {{}}), Status::Ok, 0},
        ParseCase{"PolyLineZCutInItsZ", record(ShpType::PolyLineZ, {kSquare}).left(44 + 4 + 100),
                  Status::Malformed},
        ParseCase{"PointCut", record(ShpType::Point, {{{1, 2}}}).left(12), Status::Malformed},
        ParseCase{"UndefinedType", record(7, {}), Status::Malformed},
        ParseCase{"PartsOutOfOrder",
                  withInt(record(ShpType::PolyLine, {{{0, 0}, {1, 1}}, {{2, 2}, {3, 3}}}), 48, 0),
                  Status::Malformed},
        ParseCase{"PartPastThePoints",
                  withInt(record(ShpType::PolyLine, {{{0, 0}, {1, 1}}, {{2, 2}, {3, 3}}}), 48, 4),
                  Status::Malformed},
        ParseCase{"FirstPartNotAtZero", withInt(record(ShpType::PolyLine, {kSquare}), 44, 1),
                  Status::Malformed},
        ParseCase{"NegativePointCount", withInt(record(ShpType::MultiPoint, {kSquare}), 36, -1),
                  Status::Malformed},
        ParseCase{"PointCountPastTheEnd",
                  withInt(record(ShpType::MultiPoint, {kSquare}), 36, 1 << 30), Status::Malformed},
        ParseCase{"NaNX", record(ShpType::Point, {{{kNaN, 2}}}), Status::NonFinite},
        ParseCase{"InfiniteY", record(ShpType::PolyLine, {{{0, 0}, {1, kInfinity}}}),
                  Status::NonFinite},
        ParseCase{"InfiniteZ", record(ShpType::PointZ, {{{0, 0, -kInfinity}}}), Status::NonFinite},
        ParseCase{"NaNMeasureIsNoData", record(ShpType::PointM, {{{0, 0, 0, kNaN}}}), Status::Ok, 1,
                  false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShapeRecord, FitsItsOwnKindAndPointsFitMultipointsEitherWay) {
    const auto fits = [](const QByteArray& bytes, ShapeKind kind) {
        ShapeRecord shape;
        shape.parse(bytes.constData(), bytes.size());
        return fitsKind(shape, kind);
    };
    const QByteArray twoPoints = record(ShpType::MultiPoint, {{{0, 0}, {1, 1}}});
    EXPECT_TRUE(fits(record(ShpType::Null, {}), ShapeKind::Polygon));
    EXPECT_TRUE(fits(record(ShpType::PointM, {{{0, 0}}}), ShapeKind::MultiPoint));
    EXPECT_TRUE(fits(record(ShpType::MultiPointZ, {{{0, 0}}}), ShapeKind::Point));
    EXPECT_FALSE(fits(twoPoints, ShapeKind::Point));
    EXPECT_FALSE(fits(record(ShpType::PolyLine, {kSquare}), ShapeKind::Polygon));
    EXPECT_FALSE(fits(record(ShpType::MultiPatch, {}), ShapeKind::Polygon));
}

}  // namespace
