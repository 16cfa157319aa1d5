#include "CliRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SampleSheetsTest, GeneratedTreeScansAndMergesAsTheDemoDoes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.filePath(QStringLiteral("sheets"));
    const auto generated = CliRunner::sampleSheets({root});
    ASSERT_EQ(generated.exitCode, 0) << generated.err.toStdString();
    EXPECT_EQ(CliRunner::sampleSheets({root}).exitCode, 1) << "refuses a tree that exists";

    const auto scan = CliRunner::conflux({"scan", root});
    ASSERT_EQ(scan.exitCode, 0);
    const QStringList rows = scan.outLines();
    EXPECT_EQ(rows.size(), 12 * 4) << "four layers a sheet; the hidden draft is not found";
    EXPECT_EQ(scan.err, QStringLiteral("Выбрано: 48 файл(ов)\n"));
    EXPECT_EQ(rows.filter(QStringLiteral("/N-37-007/wells.shp\t - \t - \twells\t")).size(), 1)
        << "the broken table shows dashes";
    EXPECT_EQ(rows.filter(QStringLiteral("/N-37-004/roads.shp\t5\t")).size(), 1)
        << "the extra field";

    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    const auto merged = CliRunner::conflux(
        {"merge", root, "--file-mask", "roads*", "--kind", "line", "--out", out});
    ASSERT_EQ(merged.exitCode, 0) << merged.err.toStdString();
    EXPECT_EQ(merged.outLines().value(1), QStringLiteral("Featurs merged 12"));
    EXPECT_TRUE(QFileInfo::exists(out + "/roads.shp"));
    // Sheets by the zone boundary, in degrees and without a .prj: the report says so.
    for (const char* line : {"reprojected from WGS 84 / UTM zone 38N (EPSG:32638): ",
                             "reprojected from WGS 84 (EPSG:4326): ",
                             "no coordinate system (taken as the output's): "})
        EXPECT_EQ(merged.outLines().filter(QString::fromUtf8(line)).size(), 1) << line;
}

}  // namespace
