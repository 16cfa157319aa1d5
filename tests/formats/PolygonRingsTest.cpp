#include "support/ShapeBytes.h"

#include "formats/PolygonRings.h"

#include <gtest/gtest.h>

namespace {

using ShapeBytes::Part;

// A square ring from (x0, y0) to (x1, y1): clockwise (an outer ring) or counter-clockwise.
Part square(double x0, double y0, double x1, double y1, bool clockwise) {
    Part ring{{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
    if (!clockwise) {
        std::reverse(ring.begin(), ring.end());
    }
    return ring;
}

struct RingsCase {
    const char* name;
    std::vector<Part> rings;
    std::vector<std::vector<std::int32_t>> polygons;
};

class PolygonRingsGroup : public testing::TestWithParam<RingsCase> {};

TEST_P(PolygonRingsGroup, PutsEachHoleInTheSmallestOuterRingAroundIt) {
    const QByteArray bytes = ShapeBytes::record(ShpType::Polygon, GetParam().rings);
    ShapeRecord shape;
    ASSERT_EQ(shape.parse(bytes.constData(), bytes.size()), ShapeRecord::Status::Ok);
    PolygonRings rings;
    rings.organise(shape);
    std::vector<std::vector<std::int32_t>> polygons;
    for (std::size_t i = 0; i < rings.polygonCount(); ++i) {
        polygons.emplace_back(rings.rings(i), rings.rings(i) + rings.ringCount(i));
    }
    EXPECT_EQ(polygons, GetParam().polygons);
}

INSTANTIATE_TEST_SUITE_P(
    Polygons, PolygonRingsGroup,
    testing::Values(RingsCase{"OneRing", {square(0, 0, 1, 1, false)}, {{0}}},
                    RingsCase{"OuterAndHole",
                              {square(0, 0, 10, 10, true), square(2, 2, 4, 4, false)},
                              {{0, 1}}},
                    RingsCase{"HoleBeforeItsOuter",
                              {square(2, 2, 4, 4, false), square(0, 0, 10, 10, true)},
                              {{1, 0}}},
                    RingsCase{"TwoOuterRings",
                              {square(0, 0, 1, 1, true), square(5, 5, 6, 6, true)},
                              {{0}, {1}}},
                    RingsCase{"IslandInAHoleWithItsOwnHole",
                              {square(0, 0, 100, 100, true), square(10, 10, 90, 90, false),
                               square(20, 20, 80, 80, true), square(30, 30, 40, 40, false)},
                              {{0, 1}, {2, 3}}},
                    RingsCase{"HoleTouchingItsOuterRingAtACorner",
                              {square(0, 0, 10, 10, true), square(0, 0, 4, 4, false)},
                              {{0, 1}}},
                    RingsCase{"HoleOutsideEveryOuterRingIsAPolygonOfItsOwn",
                              {square(0, 0, 10, 10, true), square(20, 20, 30, 30, false)},
                              {{0}, {1}}},
                    RingsCase{"HoleInsideTheBoxButOutsideAnLShapedOuterRing",
                              {{{0, 0}, {0, 10}, {2, 10}, {2, 2}, {10, 2}, {10, 0}, {0, 0}},
                               square(5, 5, 6, 6, false)},
                              {{0}, {1}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
