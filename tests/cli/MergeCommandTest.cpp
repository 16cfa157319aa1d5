#include "CliFixture.h"
#include "CliRunner.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gdal_priv.h>

#include <gtest/gtest.h>

namespace {

// Two sheets with roads (lines, 2 and 3 features), a lake layer (polygons) and wells
// (points); Cyrillic names in the second sheet; an empty output folder.
class MergeCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        root = m_dir.filePath(QStringLiteral("sheets"));
        out = m_dir.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        CliFixture::writeShape(root + "/N-37-001", QStringLiteral("roads"), "LINESTRING", 2);
        CliFixture::writeShape(root + "/N-37-001", QStringLiteral("lakes"), "POLYGON", 4);
        CliFixture::writeShape(root + "/N-37-002", QStringLiteral("Дороги"), "LINESTRING", 3);
        CliFixture::writeShape(root + "/N-37-002", QStringLiteral("колодцы"), "POINT", 5);
    }

    CliRunner::Result merge(const QStringList& options) {
        return CliRunner::conflux(QStringList{QStringLiteral("merge"), root} + options);
    }

    QTemporaryDir m_dir;
    QString root;
    QString out;
};

TEST_F(MergeCommandTest, MergesLinesAndPrintsTheSummary) {
    const auto result = merge({"--kind", "line", "--out", out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList expected = {
        "Merge success!!!", "Featurs merged 2",       "new Feature count 5",
        "not merged 0",     "Not merged, by reason:", "none",
    };
    EXPECT_EQ(result.outLines(), expected);
    // Standard error is no terminal here: the scan's result and nothing else, no progress.
    EXPECT_EQ(result.err, QStringLiteral("Выбрано: 4 файл(ов)\n"));
    const auto written = ShapefileFixture::read(out + "/Merge.shp");
    EXPECT_EQ(written.features.size(), 5u);
    EXPECT_EQ(written.fieldNames, (QStringList{"NAME", "NUM"}));
}

TEST_F(MergeCommandTest, CyrillicMaskAdmitsByNameInAnyCaseAndNamesTheOutput) {
    const auto result =
        merge({"--kind", "line", "--mask", QStringLiteral(" дОРОГИ* "), "--out", out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.outLines().value(1), QStringLiteral("Featurs merged 1"));
    EXPECT_EQ(result.outLines().value(2), QStringLiteral("new Feature count 3"));
    // The proposal keeps everything but "*" and "?", blanks included.
    const QString name = QStringLiteral(" дОРОГИ ");
    ASSERT_TRUE(QFileInfo::exists(out + "/" + name + ".shp"));
    const auto written = ShapefileFixture::read(out + "/" + name + ".shp");
    ASSERT_EQ(written.features.size(), 3u);
    EXPECT_EQ(written.features[2].values.value(0), QStringLiteral("объект 2"));
}

TEST_F(MergeCommandTest, RefusesToReplaceWithoutYes) {
    ASSERT_EQ(merge({"--kind", "line", "--out", out, "--name", "roads"}).exitCode, 0);
    const QByteArray before = ShapefileFixture::bytesOf(out + "/roads.shp");

    const auto refused = merge({"--kind", "polygon", "--out", out, "--name", "roads"});
    EXPECT_EQ(refused.exitCode, 8);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Файл ") + out +
                                     QStringLiteral("/roads.shp существует \nЗаменить?\n")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(ShapefileFixture::bytesOf(out + "/roads.shp"), before);

    const auto replaced = merge({"--kind", "polygon", "--out", out, "--name", "roads", "--yes"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_EQ(replaced.outLines().value(2), QStringLiteral("new Feature count 4"));
    EXPECT_EQ(ShapefileFixture::read(out + "/roads.shp").features.size(), 4u);
}

TEST_F(MergeCommandTest, DrawsProgressOnATerminal) {
    const auto result = CliRunner::confluxOnTerminal(
        QStringList{QStringLiteral("merge"), root, "--kind", "line", "--out", out});
    if (result.exitCode == -1)
        GTEST_SKIP() << "script(1) is not installed";
    ASSERT_EQ(result.exitCode, 0) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("\r[########################] 5/5 features")))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("Featurs merged 2")));
}

TEST_F(MergeCommandTest, MergesIntoAGeoPackageLayer) {
    const QString gpkg = out + "/sheets.gpkg";
    {
        GDALAllRegister();
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
        GDALDatasetUniquePtr created(
            driver->Create(gpkg.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
        ASSERT_TRUE(created);
        created->CreateLayer("existing", nullptr, wkbPoint, nullptr);
    }
    const auto result = merge({"--kind", "point", "--gdb", gpkg, "--class", "wells"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.outLines().value(2), QStringLiteral("new Feature count 5"));
    const auto layer = ShapefileFixture::read(gpkg, QStringLiteral("wells"));
    ASSERT_EQ(layer.features.size(), 5u);
    EXPECT_EQ(layer.features[4].values.value(0), QStringLiteral("объект 4"));
}

TEST_F(MergeCommandTest, EachStopHasItsMessageAndStatus) {
    struct Row {
        const char* name;
        QStringList options;
        int status;
        QString err;  // expected at the end of standard error
    };
    const QString missing = out + "/missing";
    const Row rows[] = {
        {"no input of the kind",
         {"--kind", "line", "--mask", "x*", "--out", out},
         5,
         "No elements for merge\n"},
        {"no input of the kind after a named source",
         {"--kind", "line", "--mask", "x*", "--source", root + "/N-37-001/roads.shp", "--out", out},
         5,
         "No elements for merge\n"},
        {"missing output folder",
         {"--kind", "line", "--out", missing},
         6,
         "Directory " + missing + " is not exist!!\n"},
        {"missing geodatabase",
         {"--kind", "line", "--gdb", missing + ".gpkg"},
         7,
         "File  " + missing + ".gpkg is not exist!!\n"},
        {"geodatabase of another kind",
         {"--kind", "line", "--gdb", root + "/N-37-001/roads.shp"},
         7,
         "File  " + root + "/N-37-001/roads.shp is not exist!!\n"},
        {"empty field source",
         {"--kind", "line", "--source", "", "--out", out},
         9,
         QStringLiteral("Вы забыли указать файл-источник полей\n")},
        {"invalid name mask",
         {"--kind", "line", "--mask", "[a-", "--out", out},
         4,
         "Invalid pattern: [A-\n"},
    };
    for (const Row& row : rows) {
        const auto result = merge(row.options);
        EXPECT_EQ(result.exitCode, row.status) << row.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.endsWith(row.err)) << row.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << row.name;
    }
    EXPECT_TRUE(ShapefileFixture::files(out).isEmpty());
}

TEST_F(MergeCommandTest, FailuresAreReportedWithTheProcedureLabel) {
    // A field source that does not open, and an input whose .shp is not a shapefile.
    const auto badSource =
        merge({"--kind", "line", "--source", root + "/nowhere/roads.shp", "--out", out});
    EXPECT_EQ(badSource.exitCode, 10);
    EXPECT_TRUE(badSource.err.contains("CmdMerge_Click")) << badSource.err.toStdString();

    QFile broken(root + "/N-37-001/broken.shp");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a shapefile at all, not even its header");
    broken.close();
    const auto badInput = merge({"--kind", "line", "--out", out});
    EXPECT_EQ(badInput.exitCode, 10);
    EXPECT_TRUE(badInput.err.contains("UpdateTablesArrayFromDir")) << badInput.err.toStdString();
    EXPECT_TRUE(badInput.out.isEmpty());
    EXPECT_TRUE(ShapefileFixture::files(out).isEmpty());
}

}  // namespace
