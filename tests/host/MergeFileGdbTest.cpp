// Merges into a File Geodatabase: the class read back through GDAL, the report beside a
// GeoPackage's, and every way a merge can end early leaving each file of the folder as it was.
#include "MergeTestSupport.h"

#include "platform/DbfFixture.h"
#include "support/ChildProcess.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sys/resource.h>

#include <cstring>
#include <map>

namespace {

using namespace ShapefileFixture;

// A File Geodatabase made by GDAL with the point class "existing" of two features.
QString geodatabase(const QString& path) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("OpenFileGDB");
    GDALDatasetUniquePtr dataset(
        driver->Create(path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRLayer* layer = dataset->CreateLayer("existing", nullptr, wkbPoint, nullptr);
    for (int i = 0; i < 2; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetGeometryDirectly(new OGRPoint(i, i));
        EXPECT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    return path;
}

// Every entry under `folder`, hidden ones and sub-folders too, with the bytes of each file.
std::map<QString, QByteArray> everyFile(const QString& folder) {
    std::map<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries[QDir(folder).relativeFilePath(path)] =
            it.fileInfo().isDir() ? QByteArray("<folder>") : bytesOf(path);
    }
    return entries;
}

TEST(MergeFileGdb, ClassHoldsEveryCoordinateValueAndTypeAndTheReportMatchesAGeoPackage) {
    QTemporaryDir dir;
    const std::vector<Field> fields{
        {"NAME", 'C', 12}, {"POP", 'N', 9}, {"BIG", 'N', 12}, {"AREA", 'F', 12, 3}};
    const QString a = write(
        dir.path(), "a", "POLYGON ZM", fields,
        {{"POLYGON ZM ((0 0 1 10,0 1 2 11,1 1 3 12,0 0 1 10))", {"Берёзовая", "12", "7", "1.5"}},
         {"", {"пусто", "-3", QString(), "0.125"}},
         {"POLYGON ZM ((5 5 -1 0,5 6 -2 1,6 6 -3 2,5 5 -1 0))", {"Ёлки", QString(), "1", "2"}}},
        Encoding("CP1251", "1251"));
    // The template's POP holds 9 digits; here it brings one beyond 32 bits.
    const QString b =
        write(dir.path(), "b", "POLYGON ZM", {{"NAME", 'C', 40}, {"POP", 'F', 12, 0}},
              {{"POLYGON ZM ((9 9 0 0,9 8 0 0,8 8 0 0,9 9 0 0))", {"Долгое название озера", "99"}},
               {"POLYGON ZM ((9 9 0 0,9 8 0 0,8 8 0 0,9 9 0 0))", {"x", "99999999999"}}},
              Encoding("CP1251", "1251"));
    // The index of b's first record points past the end: unreadable.
    QFile shx(dir.filePath("b.shx"));
    ASSERT_TRUE(shx.open(QIODevice::ReadWrite));
    shx.seek(100);
    shx.write(QByteArray("\x7F\x00\x00\x00", 4));
    shx.close();

    const QString gdb = geodatabase(dir.filePath("maps.gdb"));
    const QString gpkg = emptyGeoPackage(dir.filePath("maps.gpkg"));
    MergeEngine intoGdb;
    const auto merged = MergeCall({a, b}, gdb, "Озёра", 4, true).run(intoGdb);
    MergeEngine intoGpkg;
    MergeCall({a, b}, gpkg, "Озёра", 4, true).run(intoGpkg);

    EXPECT_EQ(merged->FeatureCount(), 4);
    EXPECT_EQ(merged->ShapeType(), 4);
    EXPECT_TRUE(merged->HasZ());
    EXPECT_TRUE(merged->HasM());
    const MergeReport& report = intoGdb.lastReport();
    EXPECT_EQ(report.featuresWritten, 4);
    EXPECT_EQ(report.unreadable, 1);
    EXPECT_EQ(report.numbersTooWide, 1);  // 99999999999 left empty in a 32-bit field
    EXPECT_EQ(report.textShortened, 0);   // the field is as wide as its longest value
    const MergeReport& peer = intoGpkg.lastReport();
    EXPECT_EQ(std::make_tuple(report.inputs, report.featuresWritten, report.notMerged()),
              std::make_tuple(peer.inputs, peer.featuresWritten, peer.notMerged()));

    const ReadLayer out = read(gdb, "Озёра");
    EXPECT_EQ(out.geometryType, "3D Measured Multi Polygon");
    EXPECT_EQ(out.fieldNames, QStringList({"NAME", "POP", "BIG", "AREA"}));
    EXPECT_EQ(out.fieldTypes, QStringList({"String(40)", "Integer(0)", "Real(0)", "Real(0)"}));
    ASSERT_EQ(out.features.size(), 4u);
    EXPECT_EQ(out.features[0].wkt, "MULTIPOLYGON ZM (((0 0 1 10,0 1 2 11,1 1 3 12,0 0 1 10)))");
    EXPECT_EQ(out.features[0].values, QStringList({"Берёзовая", "12", "7", "1.5"}));
    EXPECT_EQ(out.features[1].wkt, "");
    EXPECT_EQ(out.features[1].values, QStringList({"пусто", "-3", QString(), "0.125"}));
    EXPECT_EQ(out.features[2].wkt, "MULTIPOLYGON ZM (((5 5 -1 0,5 6 -2 1,6 6 -3 2,5 5 -1 0)))");
    EXPECT_EQ(out.features[2].values, QStringList({"Ёлки", QString(), "1", "2"}));
    EXPECT_EQ(out.features[3].values, QStringList({"x", QString(), QString(), QString()}));
    EXPECT_EQ(read(gpkg, "Озёра").features.size(), 4u);
}

// Dates become Date fields (an impossible one empty), logicals SmallInteger 1 or 0; a deleted
// row is no feature, counted as with every output.
TEST(MergeFileGdb, DatesLogicalsAndDeletedRows) {
    QTemporaryDir dir;
    const QString a = squares(dir.path(), "a", 3);
    DbfFixture table;
    table.fields = {{"DAY", 'D', 8}, {"OK", 'L', 1}};
    table.records = {{"20240229", "T"}, {"20230230", "?"}, {"19000101", "F"}};
    table.deleted = {false, false, true};
    DbfFixture::write(dir.filePath("a.dbf"), table.bytes());
    const QString gdb = geodatabase(dir.filePath("maps.gdb"));
    MergeEngine engine;
    MergeCall({a}, gdb, "days", 4, true).run(engine);
    EXPECT_EQ(engine.lastReport().featuresWritten, 2);
    EXPECT_EQ(engine.lastReport().deletedRecords, 1);
    const ReadLayer out = read(gdb, "days");
    EXPECT_EQ(out.fieldTypes, QStringList({"DateTime(0)", "Integer(0)"}));
    ASSERT_EQ(out.features.size(), 2u);
    EXPECT_EQ(out.features[0].values.value(0).left(10), "2024/02/29");
    EXPECT_EQ(out.features[0].values.value(1), "1");
    EXPECT_EQ(out.features[1].values, QStringList({QString(), QString()}));
}

TEST(MergeFileGdb, AnExistingClassIsRefusedAndNothingChanges) {
    QTemporaryDir dir;
    const QString a = squares(dir.path(), "a", 3);
    const QString gdb = geodatabase(dir.filePath("maps.gdb"));
    const auto before = everyFile(gdb);
    try {
        MergeCall({a}, gdb, "EXISTING", 4, true).run();
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_TRUE(error.description().contains("exists")) << error.description().toStdString();
    }
    EXPECT_EQ(everyFile(gdb), before);
}

// Ends after the class was created: a cancel halfway, an input whose records turn out
// unreadable (nothing to merge), a file size limit reached while writing (a full disk).
TEST(MergeFileGdb, EveryEarlyEndLeavesEachFileOfTheFolderAsItWas) {
    QTemporaryDir dir;
    const QString big = squares(dir.path(), "big", 6000);
    const QString broken = squares(dir.path(), "broken", 50);
    QFile::resize(broken, 100);  // the header stays, the records go
    const QString gdb = geodatabase(dir.filePath("maps.gdb"));
    const auto before = everyFile(gdb);
    const struct {
        const char* name;
        QStringList inputs;
        std::function<bool(double)> progress;
        rlim_t sizeLimit;  // 0: none
        QString message;
    } cases[] = {
        {"cancel", {big, big}, [](double complete) { return complete < 0.5; }, 0, "cancelled"},
        {"unreadable", {broken}, {}, 0, "None of the 50 features read could be merged"},
        {"full disk", {big, big}, {}, 256 << 10, QString::fromLocal8Bit(std::strerror(EFBIG))},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const int result = runInChild(120, [&] {
            if (test.sizeLimit) {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{test.sizeLimit, test.sizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            MergeCall call(test.inputs, gdb, "parcels", 4, true);
            if (test.progress) {
                call.progress = [&](double complete, const QString&) {
                    return test.progress(complete);
                };
            }
            try {
                call.run();
            } catch (const ConfluxError& error) {
                if (error.description().contains(test.message))
                    return 0;
                std::fprintf(stderr, "%s\n", qPrintable(error.description()));
                return 2;
            }
            return 3;
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(everyFile(gdb), before);
    }
}

}  // namespace
