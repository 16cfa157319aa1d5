#include "shapefile/ShapeReprojection.h"
#include "support/ShapeBytes.h"

#include <gtest/gtest.h>

namespace {

using ShapeBytes::Part;

// A mirror (x -> -x) shifted north, which turns the winding of every ring; a point at x = 13
// cannot be transformed.
class MirrorTransformer : public PointTransformer {
public:
    void transform(std::size_t count, double* x, double* y, double* z, int* ok) override {
        ++calls;
        for (std::size_t i = 0; i < count; ++i) {
            ok[i] = x[i] != 13;
            x[i] = -x[i];
            y[i] += 1000;
            z[i] += 1;  // asked to carry heights
        }
    }
    int calls = 0;
};

double signedArea(const ShapeRecord& shape, std::int32_t part) {
    double area = 0;
    for (std::int32_t i = shape.partStart(part); i + 1 < shape.partEnd(part); ++i) {
        area += shape.x(i) * shape.y(i + 1) - shape.x(i + 1) * shape.y(i);
    }
    return area;
}

ShapeRecord parsed(QByteArrayView content) {
    ShapeRecord shape;
    EXPECT_EQ(shape.parse(content.data(), content.size()), ShapeRecord::Status::Ok);
    return shape;
}

TEST(ShapeReprojection, RingsKeepTheirRolesAndTheBoxHoldsTheNewCoordinates) {
    // An outer ring clockwise, a hole counter-clockwise, each vertex with its own Z and M.
    const Part outer{{0, 0, 1, 10}, {0, 10, 2, 11}, {10, 10, 3, 12}, {10, 0, 4, 13}, {0, 0, 1, 10}};
    const Part hole{{2, 2, 5, 20}, {4, 2, 6, 21}, {4, 4, 7, 22}, {2, 2, 5, 20}};
    const QByteArray polygon = ShapeBytes::record(ShpType::PolygonZ, {outer, hole});
    const QByteArray refused = ShapeBytes::record(ShpType::PolyLine, {{{1, 1}, {13, 1}}});
    const QByteArray point = ShapeBytes::record(ShpType::PointZ, {{{7, 8, 9, 3}}});

    ShapeBatchReprojection batch;
    for (const QByteArray* content : {&polygon, &refused, &point}) {
        batch.add(parsed(*content));
    }
    MirrorTransformer mirror;
    batch.run(mirror);
    EXPECT_EQ(mirror.calls, 1) << "one call for the points of every record";

    ASSERT_TRUE(batch.reprojected(0));
    const ShapeRecord shape = parsed(batch.content(0));
    ASSERT_EQ(shape.partCount(), 2);
    EXPECT_LT(signedArea(shape, 0), 0) << "the outer ring is clockwise again";
    EXPECT_GT(signedArea(shape, 1), 0) << "the hole is counter-clockwise again";
    // The hole's second vertex was (4, 2): now (-4, 1002), its Z and M gone round with it.
    const std::int32_t at = shape.partStart(1) + 2;
    EXPECT_EQ(std::tuple(shape.x(at), shape.y(at), shape.z(at), shape.m(at)),
              std::tuple(-4.0, 1002.0, 7.0, 21.0));
    const auto stored = [&](int offset) {
        return ShapeRecord::readDouble(batch.content(0).data() + offset);
    };
    EXPECT_EQ(std::tuple(stored(4), stored(12), stored(20), stored(28)),
              std::tuple(-10.0, 1000.0, 0.0, 1010.0));
    EXPECT_EQ(std::tuple(stored(shape.zOffset() - 16), stored(shape.zOffset() - 8)),
              std::tuple(2.0, 8.0));

    EXPECT_FALSE(batch.reprojected(1)) << "a point that cannot be transformed";
    ASSERT_TRUE(batch.reprojected(2));
    const ShapeRecord moved = parsed(batch.content(2));
    EXPECT_EQ(std::tuple(moved.x(0), moved.y(0), moved.z(0), moved.m(0)),
              std::tuple(-7.0, 1008.0, 10.0, 3.0));
}

}  // namespace
