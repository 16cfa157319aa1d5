// Names the command line keeps as the bytes the file system holds: two shapefiles whose names
// differ only in letter case are two inputs.
#include "ChildProcess.h"
#include "support/ByteNamedDir.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

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
