#include "support/ShapefileFixture.h"

#include "formats/shapefile/ShapefileWorkspaceFactory.h"
#include "host/FeatureLayer.h"
#include "host/GeometryKind.h"
#include "host/HostArray.h"

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

// The plain type code and the dimensions come from the file's own header; a file whose header
// says null shapes has no kind.
TEST(HostOperations, ShapeTypeAndDimensionsComeFromTheHeader) {
    const struct {
        const char* geometryType;
        const char* wkt;  // empty: a null shape, and the header's type set to 0
        std::int32_t code;
        bool hasZ, hasM;
    } rows[] = {{"POINT M", "POINT M (1 2 3)", 1, false, true},
                {"MULTIPOINT", "MULTIPOINT (1 2,3 4)", 2, false, false},
                {"LINESTRING", "LINESTRING (0 0,1 1)", 3, false, false},
                {"POLYGON Z", "POLYGON Z ((0 0 1,0 1 1,1 1 1,0 0 1))", 4, true, false},
                {"POINT", "", 0, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.geometryType);
        QTemporaryDir dir;
        const QString path =
            ShapefileFixture::write(dir.path(), "layer", row.geometryType, {}, {{row.wkt, {}}});
        if (row.code == 0) {
            QFile shp(path);
            ASSERT_TRUE(shp.open(QIODevice::ReadWrite) && shp.seek(32));
            ASSERT_EQ(shp.write(QByteArray(4, '\0')), 4);
        }
        const auto featureClass = open(dir.path(), "layer");
        EXPECT_EQ(featureClass->ShapeType(), row.code);
        EXPECT_EQ(featureClass->HasZ(), row.hasZ);
        EXPECT_EQ(featureClass->HasM(), row.hasM);
        EXPECT_EQ(geometryKindOf(featureClass->ShapeType()).has_value(), row.code != 0);
    }
}

TEST(HostOperations, OpensAnUpperCaseExtensionAndFailsWithTheNameOfWhatIsMissingOrBroken) {
    QTemporaryDir dir;
    ShapefileFixture::write(dir.path(), "parcels", "POINT", {}, {{"POINT (1 1)", {}}});
    QFile::rename(dir.filePath("parcels.shp"), dir.filePath("parcels.SHP"));
    EXPECT_EQ(open(dir.path(), "parcels")->ShapeType(), ShapeTypeCode::Point);

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
