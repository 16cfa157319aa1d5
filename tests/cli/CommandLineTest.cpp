#include "CliRunner.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gdal.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Two sheets: roads (lines, 2) and lakes (polygons, 4); Дороги (lines, 3) and колодцы (points,
// 5). Beside them a tree whose one .shp is not a shapefile, and an empty output folder.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        root = m_dir.filePath(QStringLiteral("sheets"));
        out = m_dir.filePath(QStringLiteral("out"));
        bad = m_dir.filePath(QStringLiteral("bad"));
        writeShape("N-37-001", QStringLiteral("roads"), "LINESTRING", 2);
        writeShape("N-37-001", QStringLiteral("lakes"), "POLYGON", 4);
        writeShape("N-37-002", QStringLiteral("Дороги"), "LINESTRING", 3);
        writeShape("N-37-002", QStringLiteral("колодцы"), "POINT", 5);
        QDir().mkpath(out);
        QDir().mkpath(bad);
        QFile broken(bad + "/broken.shp");
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not a shapefile at all, not even its header");
    }

    // Features "объект 0", "объект 1", ... with a CP1251 text field and an integer field.
    void writeShape(const char* sheet, const QString& name, const QByteArray& type, int count) {
        std::vector<ShapefileFixture::Feature> features;
        for (int i = 0; i < count; ++i) {
            const QByteArray x = QByteArray::number(i);
            const QByteArray wkt =
                type == "POINT"     ? "POINT (" + x + " 1)"
                : type == "POLYGON" ? "POLYGON ((" + x + " 0," + x + " 1,1" + x + " 1," + x + " 0))"
                                    : "LINESTRING (" + x + " 0," + x + " 1)";
            features.push_back({wkt, {QStringLiteral("объект %1").arg(i), QString::number(i)}});
        }
        const QString folder = root + "/" + sheet;
        QDir().mkpath(folder);
        ShapefileFixture::write(folder, name, type, {{"NAME", 'C', 30}, {"NUM", 'N', 6}}, features,
                                {"CP1251", "CP1251"});
    }

    CliRunner::Result merge(const QStringList& options) {
        return CliRunner::conflux(QStringList{QStringLiteral("merge"), root} + options);
    }

    QTemporaryDir m_dir;
    QString root, out, bad;
};

TEST_F(CommandLineTest, ScanPrintsARowPerCandidate) {
    const auto result = CliRunner::conflux({"scan", root});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    // Each folder by name, letter case ignored, whatever order the file system keeps.
    EXPECT_EQ(result.outLines(),
              QStringList({
                  root + "/N-37-001/lakes.shp\t2\t4\tlakes\t4",
                  root + "/N-37-001/roads.shp\t2\t2\troads\t3",
                  root + QStringLiteral("/N-37-002/Дороги.shp\t2\t3\tДороги\t3"),
                  root + QStringLiteral("/N-37-002/колодцы.shp\t2\t5\tколодцы\t1"),
              }));
    EXPECT_EQ(result.err, QStringLiteral("Выбрано: 4 файл(ов)\n"));

    // The folder mask reaches the walk (the file mask and depth show in the failures below).
    EXPECT_EQ(CliRunner::conflux({"scan", root, "--dir-mask", "*002"}).outLines().size(), 2);
}

TEST_F(CommandLineTest, ScanEscapesTabsLineBreaksAndBackslashesInsideItsFields) {
    const QString odd = m_dir.filePath(QStringLiteral("odd"));
    QDir().mkpath(odd + "/tab\there");
    for (const QString& name : {QStringLiteral("tab\there/a"), QStringLiteral("line\nfeed\r"),
                                QStringLiteral("back\\slash")}) {
        QFile file(odd + "/" + name + ".shp");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const auto result = CliRunner::conflux({"scan", odd});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.outLines(), QStringList({
                                     odd + "/back\\\\slash.shp\t - \t - \tback\\\\slash\t - ",
                                     odd + "/line\\nfeed\\r.shp\t - \t - \tline\\nfeed\\r\t - ",
                                     odd + "/tab\\there/a.shp\t - \t - \ta\t - ",
                                 }));
}

TEST_F(CommandLineTest, EachBadInputHasItsStatusAndMessage) {
    // Status 0 prints `text` on standard output only; any other status prints it on standard
    // error only.
    struct Case {
        const char* name;
        int status;
        QString text;
        QStringList arguments;
    };
    const QString missing = out + "/missing";
    const QString roads = root + "/N-37-001/roads.shp";
    const QStringList line = {"merge", root, "--kind", "line"};
    const QStringList toOut = line + QStringList{"--out", out};
    const Case cases[] = {
        {"general help", 0, "conflux COMMAND [ARGS]", {"--help"}},
        {"help lists exit statuses", 0, "Exit status:", {"help"}},
        {"scan help", 0, "Usage: conflux scan ROOT", {"scan", "--help"}},
        {"merge help", 0, "--kind K", {"merge", "-h"}},
        {"version", 0, "conflux 0.", {"--version"}},
        {"unknown command", 2, "unknown command 'sacn'", {"sacn"}},
        {"scan without root", 2, "missing argument ROOT", {"scan"}},
        {"scan with two roots", 2, "unexpected argument '/b'", {"scan", "/a", "/b"}},
        {"unknown option", 2, "Unknown option 'deep'", {"scan", "/", "--deep", "3"}},
        {"merge without kind", 2, "--kind", {"merge", "/", "--out", out}},
        {"bad kind", 2, "unknown kind 'area'", {"merge", "/", "--kind", "area", "--out", out}},
        {"merge without output", 2, "--out FOLDER", line},
        {"both outputs", 2, "--out FOLDER", toOut + QStringList{"--gdb", "/x.gpkg"}},
        {"--pg and --out", 2, "give either", toOut + QStringList{"--pg", "dbname=x"}},
        {"--schema without --pg", 2, "go with --pg", toOut + QStringList{"--schema", "s"}},
        {"--name with --pg", 2, "--name goes with --out",
         line + QStringList{"--pg", "dbname=x", "--name", "n"}},
        {"nothing found", 1, QStringLiteral("Файлов нет!\n"), {"scan", root, "--depth", "1"}},
        {"empty root", 1, QStringLiteral("Файлов нет!\n"), {"scan", ""}},
        {"missing root",
         3,
         QStringLiteral("Проверьте существование корневой директории\n"),
         {"scan", missing}},
        {"bad file mask", 4, "Invalid pattern: [ab.shp\n", {"scan", root, "--file-mask", "[ab"}},
        {"bad feature mask", 4, "Invalid pattern: [A-\n", toOut + QStringList{"--mask", "[a-"}},
        {"no input of the kind", 5, "No elements for merge\n", toOut + QStringList{"--mask", "x*"}},
        {"no input, with progress", 5, "0...10\nNo elements for merge\n",
         toOut + QStringList{"--mask", "x*", "--progress"}},
        {"no input of the kind, named source", 5, "No elements for merge\n",
         toOut + QStringList{"--mask", "x*", "--source", roads}},
        {"missing output folder", 6, "Directory " + missing + " is not exist!!\n",
         line + QStringList{"--out", missing}},
        {"missing geodatabase", 7, "File  " + missing + ".gpkg is not exist!!\n",
         line + QStringList{"--gdb", missing + ".gpkg"}},
        {"geodatabase of another kind", 7, "File  " + roads + " is not exist!!\n",
         line + QStringList{"--gdb", roads}},
        {"empty field source", 9, QStringLiteral("Вы забыли указать файл-источник полей\n"),
         toOut + QStringList{"--source", ""}},
        {"field source that does not open", 10, "CmdMerge_Click",
         toOut + QStringList{"--source", root + "/nowhere.shp"}},
        {"input that is no shapefile",
         10,
         "UpdateTablesArrayFromDir",
         {"merge", bad, "--kind", "line", "--out", out}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = CliRunner::conflux(c.arguments);
        EXPECT_EQ(result.exitCode, c.status) << result.err.toStdString();
        EXPECT_TRUE((c.status == 0 ? result.out : result.err).contains(c.text))
            << result.err.toStdString();
        EXPECT_TRUE((c.status == 0 ? result.err : result.out).isEmpty());
    }
    EXPECT_TRUE(ShapefileFixture::files(out).isEmpty());
}

TEST_F(CommandLineTest, MergePrintsTheSummaryAndKeepsCyrillicText) {
    const auto result = merge({"--kind", "line", "--out", out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList summary = {"Merge success!!!",       "Featurs merged 2",
                                 "new Feature count 5",    "not merged 0",
                                 "Not merged, by reason:", "none"};
    EXPECT_EQ(result.outLines(), summary);
    // Standard error is no terminal here: the scan's result and nothing else, no progress.
    EXPECT_EQ(result.err, QStringLiteral("Выбрано: 4 файл(ов)\n"));
    const auto written = ShapefileFixture::read(out + "/Merge.shp");
    EXPECT_EQ(written.fieldNames, (QStringList{"NAME", "NUM"}));
    QStringList names;
    for (const auto& feature : written.features)
        names << feature.values.value(0);
    names.sort();
    EXPECT_EQ(names, QStringList({"объект 0", "объект 0", "объект 1", "объект 1", "объект 2"}));

    // As GDAL's utilities write it, for a caller that reads standard error (QGIS's toolbox).
    const auto progress = merge({"--kind", "line", "--out", out, "--yes", "--progress"});
    ASSERT_EQ(progress.exitCode, 0) << progress.err.toStdString();
    // The question about the earlier output interrupts the line, on lines of its own.
    EXPECT_TRUE(progress.err.endsWith(QStringLiteral("\n0...10\nФайл %1/Merge.shp существует "
                                                     "\nЗаменить?\nYes (--yes)\n...20...30...40"
                                                     "...50...60...70...80...90...100 - done.\n")
                                          .arg(out)))
        << progress.err.toStdString();
}

TEST_F(CommandLineTest, MergeReplacesAnExistingOutputOnlyWithYes) {
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
    EXPECT_EQ(ShapefileFixture::read(out + "/roads.shp").features.size(), 4u);
}

// One input that does not open fails the merge; --skip-unreadable leaves it out, names it with
// the cause and ends with a status of its own.
TEST_F(CommandLineTest, SkipUnreadableLeavesOutInputsThatDoNotOpenAndNamesThem) {
    QDir().mkpath(root + "/N-37-003");
    ASSERT_TRUE(QFile::copy(bad + "/broken.shp", root + "/N-37-003/broken.shp"));
    EXPECT_EQ(merge({"--kind", "line", "--out", out}).exitCode, 10);
    const auto partial = merge({"--kind", "line", "--out", out, "--skip-unreadable"});
    EXPECT_EQ(partial.exitCode, 13) << partial.err.toStdString();
    EXPECT_EQ(partial.outLines().mid(2, 1), QStringList("new Feature count 5"));
    EXPECT_EQ(partial.outLines().mid(6).value(0), "inputs not opened: 1");
    EXPECT_TRUE(partial.outLines().value(7).startsWith("  " + root + "/N-37-003/broken.shp: "))
        << partial.out.toStdString();
}

TEST_F(CommandLineTest, MergeDrawsProgressOnATerminal) {
    const auto result = CliRunner::confluxOnTerminal(
        QStringList{QStringLiteral("merge"), root, "--kind", "line", "--out", out});
    if (result.exitCode == -1)
        GTEST_SKIP() << "script(1) is not installed";
    ASSERT_EQ(result.exitCode, 0) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("\r[########################] 5/5 features")))
        << result.out.toStdString();
}

}  // namespace
