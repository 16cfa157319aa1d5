// Merges that must keep every coordinate, value, type and name, read back by readers that are
// not this project's (pyshp, shpdump, GDAL, SQLite, GDAL's GeoPackage validator).
#include "MergeTestSupport.h"

#include "merge/MergeSummary.h"
#include "platform/DbfFixture.h"
#include "platform/TextEncoder.h"
#include "support/IndependentReaders.h"
#include "support/ShapeBytes.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sqlite3.h>

#include <limits>

namespace {

using ShapeBytes::Part;
using ShapeBytes::record;
using ShapefileFixture::read;

// `folder`/`name`.shp of raw type `type` holding `records`, with table `table`.
QString rawShapefile(const QString& folder, const QString& name, std::int32_t type,
                     const std::vector<QByteArray>& records, const DbfFixture& table,
                     const QByteArray& cpg = {}) {
    const QString base = QDir(folder).filePath(name);
    ShapeBytes::writeShapefile(base, type, records);
    DbfFixture::write(base + ".dbf", table.bytes());
    if (!cpg.isEmpty()) {
        DbfFixture::write(base + ".cpg", cpg);
    }
    return base + ".shp";
}

DbfFixture ids(int count) {
    DbfFixture table;
    table.fields = {{"ID", 'N', 5}};
    for (int i = 0; i < count; ++i) {
        table.records.append({QByteArray::number(i)});
    }
    return table;
}

QByteArray cp1251(const QString& text) {
    return TextEncoder("CP1251").encode(text);
}

QJsonArray numbers(std::initializer_list<double> values) {
    QJsonArray array;
    for (const double value : values) {
        array.append(value);
    }
    return array;
}

// The answer of one SQLite query on the GeoPackage, read without GDAL.
QString sqlite(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    QString answer = QStringLiteral("<error>");
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        answer =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return answer;
}

const Part kOuter{{0, 0, 1, 5}, {0, 10, 2, 6}, {10, 10, 3, 7}, {10, 0, 4, 8}, {0, 0, 1, 5}};
const Part kHole{{2, 2, 9, 1}, {4, 2, 0, 2}, {4, 4, 9, 3}, {2, 4, 0, 4}, {2, 2, 9, 1}};

// The field-source file, not the first input, gives the output its fields; a field the inputs
// lack stays empty, and the field source's own features are not merged unless it is an input.
TEST(MergeLossless, TheFieldSourceGivesTheOutputItsFields) {
    QTemporaryDir dir;
    DbfFixture five;
    five.fields = {
        {"ID", 'N', 5}, {"NAME", 'C', 10}, {"AREA", 'F', 12, 3}, {"OK", 'L', 1}, {"WHEN", 'D', 8}};
    five.records = {{"9", "source", "1", "T", "20240131"}};
    QDir().mkdir(dir.filePath("source"));
    const QString source = rawShapefile(dir.filePath("source"), "parcels", ShpType::Polygon,
                                        {record(ShpType::Polygon, {kOuter})}, five);
    DbfFixture four = five;
    four.fields.removeLast();
    four.records = {{"1", "first", "2.5", "F"}};
    const QString a =
        rawShapefile(dir.path(), "a", ShpType::Polygon, {record(ShpType::Polygon, {kOuter})}, four);
    MergeCall call({a}, dir.path(), "merged");
    call.fieldSource = source;
    call.run();
    const QJsonObject out = IndependentReaders::pyshp(dir.filePath("merged.shp"));
    ASSERT_EQ(out["fields"].toArray().size(), 5);
    EXPECT_EQ(out["fields"].toArray()[3].toArray()[1], "L");
    EXPECT_EQ(out["fields"].toArray()[4].toArray()[1], "D");
    EXPECT_EQ(out["records"].toArray(),
              QJsonArray({QJsonArray({"1", "first", "2.5", "False", QJsonValue()})}));
}

// Multi-part lines with Z and polygons with M whose file starts with a null shape: every Z and
// M arrives in a GeoPackage and in a shapefile.
TEST(MergeLossless, ZAndMOfMultiPartShapesSurviveANullFirstRecord) {
    QTemporaryDir dir;
    const QString lines = rawShapefile(
        dir.path(), "lines", ShpType::PolyLineZ,
        {record(ShpType::Null, {}),
         record(ShpType::PolyLineZ, {{{0, 0, 1}, {1, 1, 2}}, {{5, 5, 3}, {6, 6, 4}}}, false)},
        ids(2));
    const QString areas = rawShapefile(
        dir.path(), "areas", ShpType::PolygonM,
        {record(ShpType::Null, {}),
         record(ShpType::PolygonM, {{{0, 0, 0, 1}, {0, 1, 0, 2}, {1, 1, 0, 3}, {0, 0, 0, 1}},
                                    {{5, 5, 0, 4}, {5, 6, 0, 5}, {6, 6, 0, 6}, {5, 5, 0, 4}}})},
        ids(2));
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    MergeCall({lines}, gpkg, "lines", 3, true).run();
    MergeCall({areas}, gpkg, "areas", 4, true).run();
    EXPECT_EQ(read(gpkg, "lines").features.at(1).wkt,
              "MULTILINESTRING Z ((0 0 1,1 1 2),(5 5 3,6 6 4))");
    EXPECT_EQ(read(gpkg, "areas").features.at(1).wkt,
              "MULTIPOLYGON M (((0 0 1,0 1 2,1 1 3,0 0 1)),((5 5 4,5 6 5,6 6 6,5 5 4)))");
    EXPECT_EQ(IndependentReaders::validateGeoPackage(gpkg), QString());

    MergeCall({areas}, dir.path(), "merged", 4).run();
    const QJsonObject out = IndependentReaders::pyshp(dir.filePath("merged.shp"));
    EXPECT_EQ(out["shapeType"].toInt(), ShpType::PolygonM);
    EXPECT_EQ(out["shapes"].toArray()[1].toObject()["m"].toArray(),
              numbers({1, 2, 3, 1, 4, 5, 6, 4}));
    EXPECT_EQ(out["mbox"].toArray(), numbers({1, 6}));
    EXPECT_EQ(out["bbox"].toArray(), numbers({0, 0, 6, 6}));
}

// A PolygonZ whose rings are not planar keeps its hole: in a GeoPackage (area without the
// hole) and in a shapefile of another type (rings wound as the format wants).
TEST(MergeLossless, HolesOfNonPlanarPolygonZStayHoles) {
    QTemporaryDir dir;
    const QString input = rawShapefile(dir.path(), "parcels", ShpType::PolygonZ,
                                       {record(ShpType::PolygonZ, {kOuter, kHole})}, ids(1));
    const QString flat = rawShapefile(dir.path(), "flat", ShpType::PolygonM, {}, ids(0));
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    MergeCall({input}, gpkg, "parcels", 4, true).run();
    GDALDatasetUniquePtr dataset(GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR));
    OGRFeatureUniquePtr feature(dataset->GetLayerByName("parcels")->GetNextFeature());
    ASSERT_TRUE(feature && feature->GetGeometryRef());
    EXPECT_EQ(feature->GetGeometryRef()->toMultiPolygon()->get_Area(), 96.0);

    MergeCall converted({input}, dir.path(), "merged", 4);
    converted.fieldSource = flat;
    converted.run();
    const QString dump = IndependentReaders::shpdumpValidate(dir.filePath("merged.shp"));
    EXPECT_TRUE(dump.contains("Shapefile Type: PolygonM")) << dump.toStdString();
    EXPECT_TRUE(dump.contains("0 object has invalid ring orderings")) << dump.toStdString();
}

// Logical and date fields keep their types, and an input of the template's layout with such
// fields is still copied as bytes.
TEST(MergeLossless, LogicalAndDateFieldsKeepTheirTypesAndTheByteCopy) {
    QTemporaryDir dir;
    DbfFixture table;
    table.fields = {{"OK", 'L', 1}, {"WHEN", 'D', 8}, {"NAME", 'C', 4}};
    table.records = {{"T", "20240131", "a"}, {"?", "", "b"}};
    const QString a = rawShapefile(
        dir.path(), "a", ShpType::Point,
        {record(ShpType::Point, {{{1, 2}}}), record(ShpType::Point, {{{3, 4}}})}, table);
    QDir().mkdir(dir.filePath("out"));
    MergeEngine engine;
    MergeCall({a, a}, dir.filePath("out"), "merged", 1).run(engine);
    EXPECT_EQ(engine.lastReport().inputsCopiedAsBytes, 2);
    const QJsonObject out = IndependentReaders::pyshp(dir.filePath("out/merged.shp"));
    EXPECT_EQ(out["fields"].toArray()[0].toArray(), QJsonArray({"OK", "L", 1, 0}));
    EXPECT_EQ(out["fields"].toArray()[1].toArray(), QJsonArray({"WHEN", "D", 8, 0}));
    EXPECT_EQ(out["records"].toArray()[2].toArray(), QJsonArray({"True", "2024-01-31", "a"}));
}

// Mixed code pages make the output UTF-8: text fields widen so recoded values fit, names cut
// to ten bytes stay apart, and only a value over the dBASE limit is cut, and counted.
TEST(MergeLossless, Utf8OutputWidensTextKeepsCutNamesApartAndCountsWhatIsCut) {
    QTemporaryDir dir;
    DbfFixture table;
    table.fields = {{cp1251("ПЛОЩАДЬ_ГА"), 'C', 9}, {cp1251("ПЛОЩАДЬ_М2"), 'C', 200}};
    table.records = {{cp1251("Абвгдежзи"), cp1251(QString(200, QChar(0x0416)))}};
    const QString a = rawShapefile(dir.path(), "a", ShpType::Point,
                                   {record(ShpType::Point, {{{1, 2}}})}, table, "1251");
    DbfFixture dos;
    dos.fields = {{TextEncoder("CP866").encode("ПЛОЩАДЬ_М2"), 'C', 10}};
    dos.records = {{TextEncoder("CP866").encode("Дом")}};
    const QString b = rawShapefile(dir.path(), "b", ShpType::Point,
                                   {record(ShpType::Point, {{{3, 4}}})}, dos, "866");
    QDir().mkdir(dir.filePath("out"));
    MergeEngine engine;
    MergeCall({a, b}, dir.filePath("out"), "merged", 1).run(engine);
    EXPECT_EQ(engine.lastReport().textShortened, 1);
    EXPECT_TRUE(MergeSummary::refusedByReason(engine.lastReport()).contains("text shortened: 1"));
    const QJsonObject out = IndependentReaders::pyshp(dir.filePath("out/merged.shp"));
    const QJsonArray fields = out["fields"].toArray();
    EXPECT_EQ(fields[0].toArray()[0], "ПЛОЩА");
    EXPECT_EQ(fields[1].toArray()[0], "ПЛОЩ_1");
    EXPECT_EQ(fields[1].toArray()[2], 254);
    const QJsonArray records = out["records"].toArray();
    EXPECT_EQ(records[0].toArray()[0], "Абвгдежзи");
    EXPECT_EQ(records[0].toArray()[1], QString(127, QChar(0x0416)));
    EXPECT_EQ(records[1].toArray(), QJsonArray({"", "Дом"}));
}

// A GeoPackage text column holds the widest value another input brings.
TEST(MergeLossless, GeoPackageTextColumnsHoldTheWidestValue) {
    QTemporaryDir dir;
    DbfFixture narrow;
    narrow.fields = {{"NAME", 'C', 5}};
    narrow.records = {{"short"}};
    DbfFixture wide;
    wide.fields = {{"name", 'C', 40}};
    wide.records = {{"thirty-one characters long text"}};
    const QString a =
        rawShapefile(dir.path(), "a", ShpType::Point, {record(ShpType::Point, {{{1, 2}}})}, narrow);
    const QString b =
        rawShapefile(dir.path(), "b", ShpType::Point, {record(ShpType::Point, {{{3, 4}}})}, wide);
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    MergeCall({a, b}, gpkg, "names", 1, true).run();
    const auto out = read(gpkg, "names");
    EXPECT_EQ(out.fieldTypes, QStringList({"String(40)"}));
    EXPECT_EQ(out.features.at(1).values, QStringList({"thirty-one characters long text"}));
}

// Deleted rows and shapes with a coordinate that is no finite number are not merged, each
// counted under its own reason, in both outputs; the rest is written.
TEST(MergeLossless, DeletedRowsAndNonFiniteCoordinatesHaveTheirOwnReasons) {
    QTemporaryDir dir;
    DbfFixture table = ids(4);
    table.deleted = {false, true, false, false};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QString a =
        rawShapefile(dir.path(), "a", ShpType::Point,
                     {record(ShpType::Point, {{{1, 2}}}), record(ShpType::Point, {{{3, 4}}}),
                      record(ShpType::Point, {{{nan, 4}}}), record(ShpType::Point, {{{5, inf}}})},
                     table);
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    for (const bool geoPackage : {false, true}) {
        SCOPED_TRACE(geoPackage ? "GeoPackage" : "shapefile");
        MergeEngine engine;
        const auto merged =
            MergeCall({a}, geoPackage ? gpkg : dir.path(), "merged", 1, geoPackage).run(engine);
        EXPECT_EQ(merged->FeatureCount(), 1);
        EXPECT_EQ(engine.lastReport().deletedRecords, 1);
        EXPECT_EQ(engine.lastReport().nonFinite, 2);
        EXPECT_EQ(MergeSummary::refusedByReason(engine.lastReport()),
                  "Not merged, by reason:\nnon-finite coordinate: 2\ndeleted records: 1");
    }
    EXPECT_EQ(sqlite(gpkg, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(sqlite(gpkg, "SELECT rtreecheck('rtree_merged_Shape')"), "ok");
    EXPECT_EQ(sqlite(gpkg,
                     "SELECT feature_count FROM gpkg_ogr_contents "
                     "WHERE table_name = 'merged'"),
              "1");
    EXPECT_EQ(sqlite(gpkg,
                     "SELECT min_x || ' ' || max_y FROM gpkg_contents "
                     "WHERE table_name = 'merged'"),
              "1.0 2.0");
    EXPECT_EQ(IndependentReaders::validateGeoPackage(gpkg), QString());
}

}  // namespace
