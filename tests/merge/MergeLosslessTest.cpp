// What the merge refuses, counted by reason in both outputs, read back by readers that are not
// this project's (SQLite, GDAL's GeoPackage validator). The whole range of inputs that must
// survive goes through tests/lossless, which drives the command line.
#include "MergeTestSupport.h"

#include "merge/MergeSummary.h"
#include "platform/DbfFixture.h"
#include "support/IndependentReaders.h"
#include "support/ShapeBytes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include <limits>

namespace {

using ShapeBytes::record;

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

// Features whose table row cannot be read are written without attributes and counted: no
// .dbf, a named pipe in its place, a header the file disagrees with, fewer rows than shapes.
// A field source without a readable table is refused before anything is written.
TEST(MergeLossless, FeaturesWithoutTableRowsAreCountedAndAFieldSourceWithoutATableIsRefused) {
    QTemporaryDir dir;
    const std::vector<QByteArray> two = {record(ShpType::Point, {{{1, 2}}}),
                                         record(ShpType::Point, {{{3, 4}}})};
    const QString good = rawShapefile(dir.path(), "good", ShpType::Point, two, ids(2));
    const QString shortTable = rawShapefile(dir.path(), "short", ShpType::Point, two, ids(1));
    const QString missing = rawShapefile(dir.path(), "missing", ShpType::Point, two, ids(2));
    QFile::remove(dir.filePath("missing.dbf"));
    const QString pipe = rawShapefile(dir.path(), "pipe", ShpType::Point, two, ids(2));
    QFile::remove(dir.filePath("pipe.dbf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.dbf")).constData(), 0600), 0);
    const QString damaged = rawShapefile(dir.path(), "damaged", ShpType::Point, two, ids(2));
    QFile table(dir.filePath("damaged.dbf"));
    ASSERT_TRUE(table.open(QIODevice::ReadWrite));
    table.resize(table.size() - 7);  // the header promises more rows than the file holds
    table.close();

    MergeEngine engine;
    const auto merged =
        MergeCall({good, shortTable, missing, pipe, damaged}, dir.path(), "out", 1).run(engine);
    EXPECT_EQ(merged->FeatureCount(), 10);
    EXPECT_EQ(engine.lastReport().withoutAttributes, 7);
    EXPECT_TRUE(
        MergeSummary::refusedByReason(engine.lastReport())
            .endsWith("Merged with a change:\nwithout attributes (no readable table row): 7"));

    for (const QString& source : {missing, pipe, damaged}) {
        SCOPED_TRACE(source.toStdString());
        MergeCall call({good}, dir.path(), "refused", 1);
        call.fieldSource = source;
        try {
            call.run();
            ADD_FAILURE() << "merged";
        } catch (const ConfluxError& error) {
            EXPECT_TRUE(error.description().startsWith(
                QStringLiteral("The field source '%1' has no readable table: ").arg(source)))
                << error.description().toStdString();
        }
        EXPECT_FALSE(QFile::exists(dir.filePath("refused.shp")));
    }
}

}  // namespace
