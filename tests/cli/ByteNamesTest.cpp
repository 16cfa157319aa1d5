// File and folder names that are not UTF-8 (CP1251 and CP866 names unpacked from old
// archives): the command line finds, opens, merges and prints them by their own bytes.
#include "ChildProcess.h"
#include "support/ByteNamedDir.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QFile>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sys/stat.h>

namespace {

const QByteArray kSheetCp866 = "\x8B\xA8\xE1\xE2 1";                       // "Лист 1"
const QByteArray kRoadsCp1251 = "\xC4\xEE\xF0\xEE\xE3\xE8";                // "Дороги"
const QByteArray kKarta = "karta\xE9";                                     // one stray byte
const QByteArray kOutputCp1251 = "\xC2\xF1\xE5 \xE4\xEE\xF0\xEE\xE3\xE8";  // "Все дороги"

// `count` lines written under an ASCII name in the folder `scratch`, then moved to
// `folder`/`name` (bytes): the fixture's writer takes names as text.
void lines(const QString& scratch, const QByteArray& folder, const QByteArray& name, int count) {
    std::vector<ShapefileFixture::Feature> features;
    for (int i = 0; i < count; ++i)
        features.push_back({QStringLiteral("LINESTRING (%1 0,%1 1)").arg(i).toUtf8(), {"x"}});
    ShapefileFixture::write(scratch, "ascii", "LINESTRING", {{"NAME", 'C', 10}}, features);
    for (const char* extension : {".shp", ".shx", ".dbf"}) {
        ASSERT_EQ(::rename((QFile::encodeName(scratch) + "/ascii" + extension).constData(),
                           (folder + '/' + name + extension).constData()),
                  0);
    }
}

std::size_t featureCount(const QByteArray& path) {
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.constData(), GDAL_OF_VECTOR));
    return dataset ? std::size_t(dataset->GetLayer(0)->GetFeatureCount()) : 0;
}

TEST(ByteNames, ScanPrintsAndMergeOpensNamesThatAreNotUtf8) {
    ByteNamedDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray root = dir.path() + "/sheets";
    const QByteArray out = dir.path() + "/out";
    ASSERT_EQ(::mkdir(root.constData(), 0755), 0);
    ASSERT_EQ(::mkdir(out.constData(), 0755), 0);
    ASSERT_EQ(::mkdir((root + '/' + kSheetCp866).constData(), 0755), 0);
    lines(QFile::decodeName(dir.path()), root, kKarta, 3);
    lines(QFile::decodeName(dir.path()), root + '/' + kSheetCp866, kRoadsCp1251, 2);

    ChildProcess scan({"scan", root});
    ASSERT_TRUE(scan.wait(60000));
    EXPECT_EQ(scan.exitCode, 0) << scan.err.constData();
    EXPECT_TRUE(scan.out.contains(root + '/' + kKarta + ".shp\t1\t3\t" + kKarta + "\t3\n"))
        << scan.out.constData();
    EXPECT_TRUE(scan.out.contains(root + '/' + kSheetCp866 + '/' + kRoadsCp1251 + ".shp\t1\t2\t" +
                                  kRoadsCp1251 + "\t3\n"))
        << scan.out.constData();

    const QByteArray source = root + '/' + kSheetCp866 + '/' + kRoadsCp1251 + ".shp";
    const QList<QByteArray> merge = {"merge", root,    "--kind", "line",   "--source",
                                     source,  "--out", out,      "--name", kOutputCp1251};
    ChildProcess first(merge);
    ASSERT_TRUE(first.wait(60000));
    EXPECT_EQ(first.exitCode, 0) << first.err.constData();
    EXPECT_TRUE(first.out.startsWith("Merge success!!!\n")) << first.out.constData();
    EXPECT_EQ(featureCount(out + '/' + kOutputCp1251 + ".shp"), 5u);

    // The existing output is found by its own name, and the question names it in its bytes.
    ChildProcess again(merge);
    ASSERT_TRUE(again.wait(60000));
    EXPECT_EQ(again.exitCode, 8);
    EXPECT_TRUE(again.err.contains(out + '/' + kOutputCp1251 + ".shp")) << again.err.constData();
}

// "roads.shp" and "roads.SHP" side by side are two shapefiles here: each row counts and opens
// its own files, and the merge takes each once.
TEST(ByteNames, ShapefilesWhoseNamesDifferInCaseAreTwoInputs) {
    ByteNamedDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray root = dir.path() + "/sheets";
    ASSERT_EQ(::mkdir(root.constData(), 0755), 0);
    lines(QFile::decodeName(dir.path()), root, "roads", 2);
    lines(QFile::decodeName(dir.path()), dir.path(), "upper", 3);
    for (const char* extension : {"shp", "shx", "dbf"}) {
        ASSERT_EQ(::rename((dir.path() + "/upper." + extension).constData(),
                           (root + "/roads." + QByteArray(extension).toUpper()).constData()),
                  0);
    }
    ChildProcess scan({"scan", root});
    ASSERT_TRUE(scan.wait(60000));
    EXPECT_EQ(scan.out,
              root + "/roads.SHP\t1\t3\troads\t3\n" + root + "/roads.shp\t1\t2\troads\t3\n");

    ChildProcess merge({"merge", root, "--kind", "line", "--out", dir.path(), "--name", "all"});
    ASSERT_TRUE(merge.wait(60000));
    EXPECT_EQ(merge.exitCode, 0) << merge.err.constData();
    EXPECT_TRUE(merge.out.startsWith("Merge success!!!\nFeaturs merged 2\nnew Feature count 5\n"))
        << merge.out.constData();
}

}  // namespace
