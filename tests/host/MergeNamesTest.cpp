#include "MergeTestSupport.h"

#include "platform/TextEncoder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

namespace {

using namespace ShapefileFixture;

QByteArray cp1251(const QString& text) {
    return TextEncoder("CP1251").encode(text);
}

const Encoding kWindows1251("CP1251", "1251");
const Encoding kUtf8("", "UTF-8");

void patchInt(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(at));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray bigEndian(qint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian<qint32>(value, bytes.data());
    return bytes;
}

// Two Cyrillic field names of the same length, in other order in the second input (so it goes
// through the feature-by-feature path): attributes must follow their names.
TEST(MergeNames, CyrillicFieldNamesOfEqualLengthAreMatchedByName) {
    QTemporaryDir dir;
    const QString a =
        write(dir.path(), "a", "POINT", {{cp1251("ИМЯ"), 'C', 10}, {cp1251("ДОМ"), 'C', 10}},
              {{"POINT (0 0)", {"Иван", "5"}}}, kWindows1251);
    const QString b =
        write(dir.path(), "b", "POINT", {{cp1251("ДОМ"), 'C', 10}, {cp1251("ИМЯ"), 'C', 10}},
              {{"POINT (1 1)", {"7", "Пётр"}}}, kWindows1251);
    MergeCall({a, b}, dir.path(), "merged", 1).run();
    const ReadLayer out = read(dir.filePath("merged.shp"));
    ASSERT_EQ(out.features.size(), 2u);
    EXPECT_EQ(out.fieldNames, QStringList({"ИМЯ", "ДОМ"}));
    EXPECT_EQ(out.features[1].values, QStringList({"Пётр", "7"}));
}

// Mixed declarations make the output UTF-8: the template's Cyrillic field name must be recoded
// too, and the UTF-8 input's field of the same name must be found.
TEST(MergeNames, MixedCodePagesKeepCyrillicFieldNamesAndTheirValues) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POINT", {{cp1251("ИМЯ"), 'C', 20}},
                            {{"POINT (0 0)", {"Иван"}}}, kWindows1251);
    const QString b = write(dir.path(), "b", "POINT", {{QByteArray("ИМЯ"), 'C', 20}},
                            {{"POINT (1 1)", {"Пётр"}}}, kUtf8);
    MergeCall({a, b}, dir.path(), "merged", 1).run();
    const ReadLayer out = read(dir.filePath("merged.shp"));
    EXPECT_EQ(out.fieldNames, QStringList({"ИМЯ"}));
    ASSERT_EQ(out.features.size(), 2u);
    EXPECT_EQ(out.features[0].values, QStringList({"Иван"}));
    EXPECT_EQ(out.features[1].values, QStringList({"Пётр"}));
}

// A GeoPackage is UTF-8 throughout: a CP1251 template's field name must arrive as text.
TEST(MergeNames, GeoPackageOutputKeepsCyrillicFieldNames) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POINT", {{cp1251("ИМЯ"), 'C', 20}},
                            {{"POINT (0 0)", {"Иван"}}}, kWindows1251);
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    MergeCall({a}, gpkg, "people", 1, true).run();
    const ReadLayer out = read(gpkg, "people");
    EXPECT_EQ(out.fieldNames, QStringList({"ИМЯ"}));
    ASSERT_EQ(out.features.size(), 1u);
    EXPECT_EQ(out.features[0].values, QStringList({"Иван"}));
}

// An index entry that points at the file header instead of a record: the record cannot be read
// and must be counted so, not written as a null shape as if it had been read.
TEST(MergeNames, AnIndexEntryPointingAtTheHeaderIsUnreadableNotANullShape) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POINT", {{"ID", 'N', 5}},
                            {{"POINT (1 1)", {"1"}}, {"POINT (2 2)", {"2"}}});
    patchInt(dir.filePath("a.shx"), 100 + 8, bigEndian(0));  // second record's offset
    MergeEngine engine;
    MergeCall({a}, dir.path(), "merged", 1).run(engine);
    EXPECT_EQ(engine.lastReport().featuresWritten, 1);
    EXPECT_EQ(engine.lastReport().unreadable, 1);
}

// Shapefiles exported from a GeoPackage carry its "fid" column. Each input numbers from 1, so
// the values collide once several inputs land in one GeoPackage layer; every feature must
// still be written.
TEST(MergeNames, GeoPackageOutputTakesInputsWhoseFidFieldsCollide) {
    QTemporaryDir dir;
    const std::vector<Field> fields{{"fid", 'N', 9}, {"NAME", 'C', 10}};
    const QString a = write(dir.path(), "a", "POINT", fields,
                            {{"POINT (0 0)", {"1", "a1"}}, {"POINT (1 0)", {"2", "a2"}}});
    const QString b = write(dir.path(), "b", "POINT", fields,
                            {{"POINT (0 1)", {"1", "b1"}}, {"POINT (1 1)", {"2", "b2"}}});
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    MergeEngine engine;
    MergeCall({a, b}, gpkg, "points", 1, true).run(engine);
    EXPECT_EQ(engine.lastReport().featuresWritten, 4);
    EXPECT_EQ(engine.lastReport().writeErrors, 0);
    EXPECT_EQ(read(gpkg, "points").features.size(), 4u);
}

// A table field named like the output's geometry column.
TEST(MergeNames, GeoPackageOutputTakesAFieldNamedLikeTheGeometryColumn) {
    QTemporaryDir dir;
    const QString a =
        write(dir.path(), "a", "POINT", {{"SHAPE", 'C', 10}}, {{"POINT (0 0)", {"round"}}});
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    MergeEngine engine;
    MergeCall({a}, gpkg, "points", 1, true).run(engine);
    EXPECT_EQ(engine.lastReport().featuresWritten, 1);
    EXPECT_EQ(read(gpkg, "points").features.size(), 1u);
}

// Only "roads.shp" is checked before asking to replace; "ROADS.shp" is another shapefile on
// this platform and must survive writing "roads".
TEST(MergeNames, ReplacingLeavesAShapefileWhoseNameDiffersInCaseAlone) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POINT", {{"ID", 'N', 5}}, {{"POINT (0 0)", {"1"}}});
    QDir().mkdir(dir.filePath("out"));
    write(dir.filePath("out"), "ROADS", "POINT", {{"ID", 'N', 5}}, {{"POINT (7 7)", {"7"}}});
    MergeCall({a}, dir.filePath("out"), "roads", 1).run();
    EXPECT_TRUE(QFile::exists(dir.filePath("out/ROADS.shp")));
    EXPECT_TRUE(QFile::exists(dir.filePath("out/roads.shp")));
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
    EXPECT_EQ(box.MinX, 5);
    EXPECT_EQ(box.MinY, 6);
    EXPECT_EQ(box.MaxX, 7);
    EXPECT_EQ(box.MaxY, 8);
}

}  // namespace
