#include "MergeTestSupport.h"

#include "merge/OutputTarget.h"

#include "platform/TextEncoder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

namespace {

using namespace ShapefileFixture;

QByteArray cp1251(const QString& text) {
    return TextEncoder("CP1251").encode(text);
}

// The second input goes through the feature-by-feature path (other order, or other code page):
// its attributes must follow their Cyrillic names, recoded when the output is UTF-8.
TEST(MergeNames, CyrillicFieldNamesAreMatchedByName) {
    const Encoding windows1251("CP1251", "1251");
    const struct {
        const char* name;
        std::vector<Field> second;
        Encoding encoding;
        QStringList values;
    } rows[] = {
        {"same code page, other order",
         {{cp1251("ДОМ"), 'C', 10}, {cp1251("ИМЯ"), 'C', 10}},
         windows1251,
         {"7", "Пётр"}},
        {"UTF-8 beside CP1251",
         {{"ДОМ", 'C', 10}, {"ИМЯ", 'C', 10}},
         Encoding("", "UTF-8"),
         {"7", "Пётр"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString a =
            write(dir.path(), "a", "POINT", {{cp1251("ИМЯ"), 'C', 20}, {cp1251("ДОМ"), 'C', 10}},
                  {{"POINT (0 0)", {"Иван", "5"}}}, windows1251);
        const QString b = write(dir.path(), "b", "POINT", row.second, {{"POINT (1 1)", row.values}},
                                row.encoding);
        MergeCall({a, b}, dir.path(), "merged", 1).run();
        const ReadLayer out = read(dir.filePath("merged.shp"));
        EXPECT_EQ(out.fieldNames, QStringList({"ИМЯ", "ДОМ"}));
        ASSERT_EQ(out.features.size(), 2u);
        EXPECT_EQ(out.features[1].values, QStringList({"Пётр", "7"}));
    }
}

// Shapefiles exported from a GeoPackage carry its "fid" column, numbered from 1 in each input,
// and a field may be named like the output's geometry column: every feature is still written.
TEST(MergeNames, GeoPackageOutputTakesCollidingFidsAndAFieldNamedLikeTheGeometry) {
    QTemporaryDir dir;
    const std::vector<Field> fields{{"fid", 'N', 9}, {"SHAPE", 'C', 10}};
    const QString a = write(dir.path(), "a", "POINT", fields,
                            {{"POINT (0 0)", {"1", "a1"}}, {"POINT (1 0)", {"2", "a2"}}});
    const QString b = write(dir.path(), "b", "POINT", fields,
                            {{"POINT (0 1)", {"1", "b1"}}, {"POINT (1 1)", {"2", "b2"}}});
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    MergeEngine engine;
    MergeCall({a, b}, gpkg, "points", 1, true).run(engine);
    EXPECT_EQ(engine.lastReport().featuresWritten, 4);
    EXPECT_EQ(read(gpkg, "points").features.size(), 4u);
}

// A file system that ignores letter case would see one shapefile in "roads.SHP", "roads.prj" and
// "ROADS.qix": all of it is the existing output, asked about and replaced whole, so no old
// index or declaration is left to misdescribe the new one.
TEST(MergeNames, AnOutputInOtherLetterCaseIsTheExistingOutputAndIsReplacedWhole) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POINT", {{"ID", 'N', 5}}, {{"POINT (0 0)", {"1"}}});
    const QString out = dir.filePath("out");
    QDir().mkdir(out);
    write(out, "roads", "POINT", {{"ID", 'N', 5}}, {{"POINT (7 7)", {"7"}}});
    for (const char* extension : {"shp", "shx", "dbf"})
        QFile::rename(out + "/roads." + extension, out + "/roads." + QString(extension).toUpper());
    for (const char* other : {"roads.prj", "ROADS.qix", "roads.shp.xml", "Roads.sbn"})
        QFile(out + '/' + other).open(QIODevice::WriteOnly);
    EXPECT_EQ(checkShapefileOutput(out, "roads"), OutputCheck::ExistingShapefile);
    EXPECT_EQ(checkShapefileOutput(out, "rivers"), OutputCheck::Ready);

    MergeCall({a}, out, "roads", 1).run();
    EXPECT_EQ(files(out), QStringList({"roads.dbf", "roads.shp", "roads.shx"}));
    EXPECT_EQ(read(out + "/roads.shp").features.size(), 1u);
}

// The first input goes through GDAL (its file is of another type) and holds only a null shape;
// the second is copied as bytes: the output's box is the second input's, not widened to 0,0.
TEST(MergeNames, NullShapesFirstLeaveNoZeroCornerInTheBox) {
    QTemporaryDir dir;
    const QString empty = write(dir.path(), "empty", "MULTIPOINT", {{"ID", 'N', 5}}, {{"", {"1"}}});
    const QString far = write(dir.path(), "far", "POINT", {{"ID", 'N', 5}},
                              {{"POINT (5 6)", {"2"}}, {"POINT (7 8)", {"3"}}});
    MergeEngine engine;
    MergeCall({empty, far}, dir.path(), "merged", 1).run(engine);
    EXPECT_EQ(engine.lastReport().inputsCopiedAsBytes, 1);
    GDALDatasetUniquePtr dataset(
        GDALDataset::Open(dir.filePath("merged.shp").toUtf8().constData(), GDAL_OF_VECTOR));
    ASSERT_TRUE(dataset);
    OGREnvelope box;
    ASSERT_EQ(dataset->GetLayer(0)->GetExtent(&box, FALSE), OGRERR_NONE);
    EXPECT_EQ(std::tuple(box.MinX, box.MinY, box.MaxX, box.MaxY), std::tuple(5.0, 6.0, 7.0, 8.0));
}

}  // namespace
