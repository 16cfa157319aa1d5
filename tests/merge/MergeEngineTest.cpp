// What the independent readers of tests/lossless cannot steer: damaged inputs counted by reason,
// how undeclared text and flat shapes are taken, names that collide or differ in letter case.
#include "MergeTestSupport.h"

#include "formats/NewGeodatabase.h"
#include "merge/MergeSummary.h"
#include "platform/DbfFixture.h"
#include "platform/TextEncoder.h"
#include "support/ShapeBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sys/stat.h>

#include <functional>
#include <limits>

namespace {

using namespace ShapefileFixture;
using ShapeBytes::record;

// Two points with IDs 0 and 1 in `folder`/`name`.shp, the table written by `table`.
QString twoPoints(const QString& folder, const QString& name, int rows = 2) {
    const QString base = QDir(folder).filePath(name);
    ShapeBytes::writeShapefile(
        base, ShpType::Point,
        {record(ShpType::Point, {{{1, 2}}}), record(ShpType::Point, {{{3, 4}}})});
    DbfFixture table;
    table.fields = {{"ID", 'N', 5}};
    for (int i = 0; i < rows; ++i) {
        table.records.append({QByteArray::number(i)});
    }
    DbfFixture::write(base + ".dbf", table.bytes());
    return base + ".shp";
}

// Each way an input can be damaged, and the reason its features are counted under: the rest of
// the input is written, into either output.
TEST(MergeEngine, DamagedInputsAreWrittenAsFarAsTheyReadAndCountedByReason) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        std::function<void(const QString& shp)> damage;
        std::int64_t written;
        const char* reasons;
    } cases[] = {
        {"non-finite coordinates",
         [&](const QString& shp) {
             ShapeBytes::writeShapefile(
                 shp.chopped(4), ShpType::Point,
                 {record(ShpType::Point, {{{nan, 4}}}), record(ShpType::Point, {{{5, inf}}})});
         },
         0, "Not merged, by reason:\nnon-finite coordinate: 2"},
        {"index past the end of the file",
         [](const QString& shp) {
             QFile shx(shp.chopped(4) + ".shx");
             const qint32 offset = qToBigEndian<qint32>(0x7F000000);
             shx.open(QIODevice::ReadWrite) && shx.seek(108) &&
                 shx.write(reinterpret_cast<const char*>(&offset), 4);
         },
         1, "Not merged, by reason:\nunreadable input: 1"},
        {"index at the file header",
         [](const QString& shp) {
             QFile shx(shp.chopped(4) + ".shx");
             const qint32 offset = 0;
             shx.open(QIODevice::ReadWrite) && shx.seek(108) &&
                 shx.write(reinterpret_cast<const char*>(&offset), 4);
         },
         1, "Not merged, by reason:\nunreadable input: 1"},
        {"no .dbf", [](const QString& shp) { QFile::remove(shp.chopped(4) + ".dbf"); }, 2,
         "without attributes (no readable table row): 2"},
        {"a named pipe for a .dbf",
         [](const QString& shp) {
             QFile::remove(shp.chopped(4) + ".dbf");
             ::mkfifo(QFile::encodeName(shp.chopped(4) + ".dbf").constData(), 0600);
         },
         2, "without attributes (no readable table row): 2"},
        {"a table shorter than its header says",
         [](const QString& shp) {
             QFile table(shp.chopped(4) + ".dbf");
             table.open(QIODevice::ReadWrite) && table.resize(table.size() - 7);
         },
         2, "without attributes (no readable table row): 2"},
    };
    for (const auto& test : cases) {
        for (const bool geoPackage : {false, true}) {
            SCOPED_TRACE(std::string(test.name) + (geoPackage ? " into a GeoPackage" : ""));
            QTemporaryDir dir;
            const QString good = twoPoints(dir.path(), "good");
            const QString bad = twoPoints(dir.path(), "bad");
            test.damage(bad);
            const QString target =
                geoPackage ? emptyGeoPackage(dir.filePath("store.gpkg")) : dir.path();
            MergeEngine engine;
            const auto merged = MergeCall({good, bad}, target, "merged", 1, geoPackage).run(engine);
            EXPECT_EQ(merged->FeatureCount(), 2 + test.written);
            EXPECT_TRUE(MergeSummary::refusedByReason(engine.lastReport())
                            .contains(QLatin1String(test.reasons)))
                << MergeSummary::refusedByReason(engine.lastReport()).toStdString();
            if (std::string(test.name).starts_with("a ")) {
                MergeCall refused({good}, target, "refused", 1, geoPackage);
                refused.fieldSource = bad;
                try {
                    refused.run();
                    ADD_FAILURE() << "a field source without a table was taken";
                } catch (const ConfluxError& error) {
                    EXPECT_TRUE(error.description().startsWith("The field source '" + bad +
                                                               "' has no readable table: "));
                }
                EXPECT_FALSE(QFile::exists(dir.filePath("refused.shp")));
            }
        }
    }
}

// Shapefiles exported from a GeoPackage carry its "fid" column, numbered from 1 in each input,
// and a field may be named like the output's geometry column: every feature is still written,
// into either geodatabase.
TEST(MergeEngine, GeodatabasesTakeCollidingFidsAndAFieldNamedLikeTheGeometry) {
    QTemporaryDir dir;
    const std::vector<Field> fields{{"fid", 'N', 9}, {"SHAPE", 'C', 10}};
    const QString a = write(dir.path(), "a", "POINT", fields,
                            {{"POINT (0 0)", {"1", "a1"}}, {"POINT (1 0)", {"2", "a2"}}});
    const QString b = write(dir.path(), "b", "POINT", fields,
                            {{"POINT (0 1)", {"1", "b1"}}, {"POINT (1 1)", {"2", "b2"}}});
    const QString gdb = dir.filePath("store.gdb");
    createGeodatabase(gdb);
    for (const QString& store : {emptyGeoPackage(dir.filePath("store.gpkg")), gdb}) {
        SCOPED_TRACE(store.toStdString());
        const auto merged = MergeCall({a, b}, store, "points", 1, true).run();
        EXPECT_EQ(std::tuple(merged->FeatureCount(), merged->AliasName(), merged->ShapeType()),
                  std::tuple(std::int64_t{4}, QString("points"), 1));
        EXPECT_EQ(read(store, "points").features.size(), 4u);
    }
}

// A file system that ignores letter case would see one shapefile in "roads.SHP", "roads.prj" and
// "ROADS.qix": all of it is the existing output, asked about and replaced whole, so no old index
// or declaration is left to misdescribe the new one.
TEST(MergeEngine, AnOutputInOtherLetterCaseIsTheExistingOutputAndIsReplacedWhole) {
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

    MergeCall({a}, out, "roads", 1).run();
    EXPECT_EQ(files(out), QStringList({"roads.dbf", "roads.shp", "roads.shx"}));
    EXPECT_EQ(read(out + "/roads.shp").features.size(), 1u);
}

}  // namespace
