// Which geometries a column takes, and in what wrapping.
#include "PostgisTestSupport.h"

#include <gtest/gtest.h>

TEST(WkbFitTest, GeometriesFitTheirOwnTypeOrTheirMultiType) {
    enum Fit { AsItIs, Wrapped, Refused };
    const std::string bigEndianPoint =
        std::string("\x00\x00\x00\x00\x01", 5) + std::string(16, '\0');
    const std::string extendedPointZ =
        std::string("\x01\x01\x00\x00\x80", 5) + std::string(24, '\0');
    const struct {
        const char* name;
        OGRwkbGeometryType column;
        std::string geometry;
        Fit fit;
    } cases[] = {
        {"PolygonInMultiPolygon", wkbMultiPolygon, polygonWkb(0, 0, 0, false), Wrapped},
        {"MultiPolygonInMultiPolygon", wkbMultiPolygon, Wkb(6, 0).integer(0).bytes(), AsItIs},
        {"PolygonZInMultiPolygon", wkbMultiPolygon, polygonWkb(0, 0, 1, false), Refused},
        {"PolygonMInMultiPolygonZM", wkbMultiPolygonZM, polygonWkb(0, 0, 2, false), Refused},
        {"PolygonZMInMultiPolygonZM", wkbMultiPolygonZM, polygonWkb(0, 0, 3, false), Wrapped},
        {"LineInMultiPolygon", wkbMultiPolygon, Wkb(2, 0).points({}).bytes(), Refused},
        {"MultiPointInPoint", wkbPoint, Wkb(4, 0).integer(0).bytes(), Refused},
        {"BigEndianPoint", wkbPoint, bigEndianPoint, AsItIs},
        {"ExtendedPointZ", wkbMultiPoint25D, extendedPointZ, Wrapped},
        {"AnythingInGeometry", wkbUnknown, Wkb(2, 3).points({}).bytes(), AsItIs},
        {"BadByteOrder", wkbUnknown, std::string("\x07\x01\x00\x00\x00", 5), Refused},
        {"Truncated", wkbPoint, std::string("\x01\x01", 2), Refused},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const WkbFit fit(test.column);
        const std::optional<std::string_view> header = fit.header(test.geometry);
        EXPECT_EQ(!header ? Refused : header->empty() ? AsItIs : Wrapped, test.fit);
    }
}

TEST(WkbFitTest, WrappingMakesAOnePartMultiOfTheColumnsType) {
    const std::string polygon = polygonWkb(0, 0, 3, true);
    const WkbFit fit(wkbMultiPolygonZM);
    const auto header = fit.header(polygon);
    ASSERT_TRUE(header);
    EXPECT_EQ(std::string(*header) + polygon, Wkb(6, 3).integer(1).append(polygon).bytes());
}

TEST(WkbFitTest, TypeNamesAreThoseOfPostgisTypeModifiers) {
    const std::pair<OGRwkbGeometryType, const char*> cases[] = {
        {wkbPoint, "Point"},
        {wkbPointM, "PointM"},
        {wkbMultiPoint25D, "MultiPointZ"},
        {wkbMultiLineStringZM, "MultiLineStringZM"},
        {wkbMultiPolygon, "MultiPolygon"},
        {wkbUnknown, "Geometry"}};
    for (const auto& [type, name] : cases) {
        EXPECT_EQ(WkbFit(type).typeName(), name);
    }
}
