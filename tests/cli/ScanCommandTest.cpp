#include "CliFixture.h"
#include "CliRunner.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// root/x.shp (lines, 2), root/B/y.shp (points, 3), root/B/C/z.shp (polygons, 1),
// root/.hidden/h.shp, root/Дороги/Дорога_1.shp (lines, 4).
class ScanCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        root = m_dir.path();
        CliFixture::writeShape(root, QStringLiteral("x"), "LINESTRING", 2);
        CliFixture::writeShape(root + "/B", QStringLiteral("y"), "POINT", 3);
        CliFixture::writeShape(root + "/B/C", QStringLiteral("z"), "POLYGON", 1);
        CliFixture::writeShape(root + "/.hidden", QStringLiteral("h"), "POINT", 1);
        CliFixture::writeShape(root + QStringLiteral("/Дороги"), QStringLiteral("Дорога_1"),
                               "LINESTRING", 4);
    }

    CliRunner::Result scan(const QStringList& options) {
        return CliRunner::conflux(QStringList{QStringLiteral("scan"), root} + options);
    }

    QTemporaryDir m_dir;
    QString root;
};

TEST_F(ScanCommandTest, PrintsOneTabSeparatedRowPerCandidate) {
    const auto result = scan({});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    QStringList rows = result.outLines();
    rows.sort();  // listing order is the file system's
    const QStringList expected = {
        root + "/B/y.shp\t2\t3\ty\t1",
        root + "/x.shp\t2\t2\tx\t3",
        root + QStringLiteral("/Дороги/Дорога_1.shp\t2\t4\tДорога_1\t3"),
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(result.err, QStringLiteral("Выбрано: 3 файл(ов)\n"));
}

TEST_F(ScanCommandTest, DepthAndMasksChooseTheRows) {
    struct Row {
        const char* name;
        QStringList options;
        int rows;
    };
    const Row rows[] = {
        {"depth 1: the root only", {"--depth", "1"}, 1},
        {"depth 3 reaches C", {"--depth", "3"}, 4},
        {"fractional depth 2.5 walks levels below 3.5", {"--depth", "2.5"}, 4},
        {"folder mask tests the holding folder", {"--depth", "3", "--dir-mask", "b*"}, 1},
        {"file mask with a Cyrillic letter in another case",
         {"--file-mask", QStringLiteral("дор*")},
         1},
        {"file mask ? is one character", {"--file-mask", "?"}, 2},
    };
    for (const Row& row : rows) {
        const auto result = scan(row.options);
        EXPECT_EQ(result.exitCode, 0) << row.name;
        EXPECT_EQ(result.outLines().size(), row.rows) << row.name;
    }
}

TEST_F(ScanCommandTest, EachFailureHasItsMessageAndStatus) {
    struct Row {
        const char* name;
        QStringList arguments;
        int status;
        QString err;
    };
    const QString missing = root + "/missing";
    const Row rows[] = {
        {"nothing found", {"scan", root, "--depth", "0"}, 1, QStringLiteral("Файлов нет!\n")},
        {"empty root finds nothing", {"scan", ""}, 1, QStringLiteral("Файлов нет!\n")},
        {"missing root",
         {"scan", missing},
         3,
         QStringLiteral("Проверьте существование корневой директории\n")},
        {"unbalanced bracket",
         {"scan", root, "--file-mask", "[ab"},
         4,
         QStringLiteral("Invalid pattern: [ab.shp\n")},
    };
    for (const Row& row : rows) {
        const auto result = CliRunner::conflux(row.arguments);
        EXPECT_EQ(result.exitCode, row.status) << row.name;
        EXPECT_EQ(result.err, row.err) << row.name;
        EXPECT_TRUE(result.out.isEmpty()) << row.name;
    }
}

TEST_F(ScanCommandTest, UnreadableTableShowsDashes) {
    QFile dbf(root + "/x.dbf");
    ASSERT_TRUE(dbf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    dbf.write("\x03\x7e");
    dbf.close();
    const auto result = scan({"--depth", "1"});
    ASSERT_EQ(result.exitCode, 0);
    ASSERT_EQ(result.outLines().size(), 1);
    EXPECT_TRUE(result.outLines()[0].startsWith(root + "/x.shp\t - \t - \tx\t"))
        << result.out.toStdString();
}

TEST(CommandLineTest, UsageHelpAndVersion) {
    struct Row {
        const char* name;
        QStringList arguments;
        int status;
        const char* inOut;  // expected in standard output
        const char* inErr;  // expected in standard error
    };
    const Row rows[] = {
        {"general help", {"--help"}, 0, "conflux COMMAND [ARGS]", ""},
        {"help lists exit statuses", {"help"}, 0, "Exit status:", ""},
        {"scan help", {"scan", "--help"}, 0, "Usage: conflux scan ROOT", ""},
        {"merge help", {"merge", "-h"}, 0, "--kind K", ""},
        {"version", {"--version"}, 0, "conflux 0.", ""},
        {"unknown command", {"sacn"}, 2, "", "unknown command 'sacn'"},
        {"scan without root", {"scan"}, 2, "", "missing argument ROOT"},
        {"scan with two roots", {"scan", "/a", "/b"}, 2, "", "unexpected argument '/b'"},
        {"unknown option", {"scan", "/", "--deep", "3"}, 2, "", "Unknown option 'deep'"},
        {"merge without kind", {"merge", "/", "--out", "/tmp"}, 2, "", "--kind"},
        {"merge with a bad kind",
         {"merge", "/", "--kind", "area", "--out", "/tmp"},
         2,
         "",
         "unknown kind 'area'"},
        {"merge without output", {"merge", "/", "--kind", "line"}, 2, "", "--out FOLDER"},
        {"merge with both outputs",
         {"merge", "/", "--kind", "line", "--out", "/tmp", "--gdb", "/x.gpkg"},
         2,
         "",
         "--out FOLDER"},
    };
    for (const Row& row : rows) {
        const auto result = CliRunner::conflux(row.arguments);
        EXPECT_EQ(result.exitCode, row.status) << row.name;
        EXPECT_TRUE(result.out.contains(QString::fromUtf8(row.inOut))) << row.name;
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(row.inErr)))
            << row.name << ": " << result.err.toStdString();
    }
}

}  // namespace
