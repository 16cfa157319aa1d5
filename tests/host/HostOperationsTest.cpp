#include "ShapefileFixture.h"

#include "discovery/GeometryKind.h"
#include "host/FeatureLayer.h"
#include "host/HostArray.h"
#include "host/ShapefileWorkspaceFactory.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<IFeatureClass> open(const QString& folder, const QString& name) {
    PropertySet properties;
    properties.SetProperty("DATABASE", folder);
    return ShapefileWorkspaceFactory()
        .OpenFromPropertySet(properties, 4242)
        ->OpenFeatureClass(name);
}

struct ShapeTypeCase {
    const char* geometryType;
    const char* wkt;
    std::int32_t code;
    bool hasZ;
    bool hasM;
};

class ShapeTypeFromFile : public testing::TestWithParam<ShapeTypeCase> {};

TEST_P(ShapeTypeFromFile, ReportsTheCodeOfThePlainType) {
    QTemporaryDir dir;
    const ShapeTypeCase& row = GetParam();
    ShapefileFixture::write(dir.path(), "layer", row.geometryType, {}, {{row.wkt, {}}});
    const auto featureClass = open(dir.path(), "layer");
    EXPECT_EQ(featureClass->ShapeType(), row.code);
    EXPECT_EQ(featureClass->HasZ(), row.hasZ);
    EXPECT_EQ(featureClass->HasM(), row.hasM);
    EXPECT_EQ(geometryKindOf(featureClass->ShapeType()).has_value(), row.code != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ShapeTypeFromFile,
    testing::Values(ShapeTypeCase{"POINT M", "POINT M (1 2 3)", 1, false, true},
                    ShapeTypeCase{"MULTIPOINT", "MULTIPOINT (1 2,3 4)", 2, false, false},
                    ShapeTypeCase{"LINESTRING", "LINESTRING (0 0,1 1)", 3, false, false},
                    ShapeTypeCase{"POLYGON Z", "POLYGON Z ((0 0 1,0 1 1,1 1 1,0 0 1))", 4, true,
                                  false}),
    [](const auto& info) {
        return QString(info.param.geometryType).replace(' ', '_').toStdString();
    });

TEST(HostOperations, NullShapeFileHasNoKind) {
    QTemporaryDir dir;
    const QString path = ShapefileFixture::write(dir.path(), "empty", "POINT", {}, {{{}, {}}});
    QFile shp(path);
    ASSERT_TRUE(shp.open(QIODevice::ReadWrite));
    shp.seek(32);
    shp.write(QByteArray(4, '\0'));
    shp.close();
    const auto featureClass = open(dir.path(), "empty");
    EXPECT_EQ(featureClass->ShapeType(), 0);
    EXPECT_FALSE(geometryKindOf(featureClass->ShapeType()));
}

TEST(HostOperations, FindsAnUpperCaseExtension) {
    QTemporaryDir dir;
    ShapefileFixture::write(dir.path(), "parcels", "POINT", {}, {{"POINT (1 1)", {}}});
    QFile::rename(dir.filePath("parcels.shp"), dir.filePath("parcels.SHP"));
    EXPECT_EQ(open(dir.path(), "parcels")->ShapeType(), ShapeTypeCode::Point);
}

TEST(HostOperations, MissingOrBrokenShapefileFailsWithItsName) {
    QTemporaryDir dir;
    try {
        open(dir.path(), "absent");
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::HostFailure);
        EXPECT_TRUE(error.description().contains("absent.shp"))
            << error.description().toStdString();
    }
    QFile broken(dir.filePath("broken.shp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a shapefile");
    broken.close();
    EXPECT_THROW(open(dir.path(), "broken"), ConfluxError);
    PropertySet missingFolder;
    missingFolder.SetProperty("database", dir.filePath("nowhere"));
    EXPECT_THROW(ShapefileWorkspaceFactory().OpenFromPropertySet(missingFolder, 0), ConfluxError);
}

TEST(HostOperations, LayerWithoutClassAndArrayOutOfRangeAreErrors) {
    FeatureLayer layer;
    EXPECT_THROW(layer.RowCount(), ConfluxError);
    HostArray array;
    array.Add(std::make_shared<FeatureLayer>());
    EXPECT_EQ(array.Count(), 1);
    EXPECT_NE(array.Element(0), nullptr);
    EXPECT_THROW(array.Element(1), ConfluxError);
}

}  // namespace
