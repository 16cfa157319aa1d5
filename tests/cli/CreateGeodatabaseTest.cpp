// --gdb into either geodatabase and --create, through the built executable.
#include "CliRunner.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

namespace {

// One sheet of three roads (lines) and an empty output folder.
class CreateGeodatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        root = m_dir.filePath("sheets");
        out = m_dir.filePath("out");
        QDir().mkpath(root);
        QDir().mkpath(out);
        std::vector<ShapefileFixture::Feature> features;
        for (int i = 0; i < 3; ++i) {
            const QByteArray x = QByteArray::number(i);
            features.push_back({"LINESTRING (" + x + " 0," + x + " 1)",
                                {QStringLiteral("дорога %1").arg(i), QString::number(i)}});
        }
        ShapefileFixture::write(root, "roads", "LINESTRING", {{"NAME", 'C', 30}, {"NUM", 'N', 6}},
                                features, {"CP1251", "CP1251"});
    }

    CliRunner::Result merge(const QStringList& options) {
        return CliRunner::conflux(QStringList{"merge", root, "--kind", "line"} + options);
    }

    // The driver GDAL opens `path` with for writing, and its layers.
    static std::pair<QString, QStringList> opened(const QString& path) {
        GDALAllRegister();
        const GDALDatasetUniquePtr dataset(
            GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        if (!dataset)
            return {};
        QStringList layers;
        for (int i = 0; i < dataset->GetLayerCount(); ++i)
            layers << QString::fromUtf8(dataset->GetLayer(i)->GetName());
        return {QString::fromUtf8(dataset->GetDriver()->GetDescription()), layers};
    }

    QTemporaryDir m_dir;
    QString root, out;
};

// Either geodatabase made by --create and filled; once it exists --create changes nothing of it.
// A class name the format cannot hold is adjusted, and the user told the name it got.
TEST_F(CreateGeodatabaseTest, CreateMakesAGeodatabaseThatTheMergeFills) {
    const struct {
        QString asked, made, driver, name, className;
    } cases[] = {
        {out + "/Base.GPKG", out + "/Base.GPKG", "GPKG", "roads", "roads"},
        {out + "/Карты.GDB/", out + "/Карты.GDB", "OpenFileGDB", "roads", "roads"},
        {out + "/sheets.gdb", out + "/sheets.gdb", "OpenFileGDB", "N-37-roads", "N_37_roads"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.asked.toStdString());
        const auto result = merge({"--gdb", test.asked, "--class", test.name, "--create"});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("Created the empty geodatabase " + test.made));
        EXPECT_TRUE(
            result.out.startsWith("Merge success!!!\nFeaturs merged 1\n"
                                  "new Feature count 3\nnot merged 0\n"))
            << result.out.toStdString();
        EXPECT_EQ(result.err.contains("Warning: Feature class '" + test.name + "' is named '" +
                                      test.className + "' in the geodatabase"),
                  test.name != test.className)
            << result.err.toStdString();
        const ShapefileFixture::ReadLayer roads = ShapefileFixture::read(test.made, test.className);
        EXPECT_EQ(roads.geometryType, "Multi Line String");
        ASSERT_EQ(roads.features.size(), 3u);
        EXPECT_EQ(roads.features[2].wkt, "MULTILINESTRING ((2 0,2 1))");
        EXPECT_EQ(roads.features[2].values, QStringList({"дорога 2", "2"}));

        // The class is there now: a second merge of that name (in other letter case) is refused;
        // another name goes beside it.
        const auto again = merge({"--gdb", test.made, "--class", test.className.toUpper()});
        EXPECT_EQ(again.exitCode, 10);
        EXPECT_TRUE(again.err.contains("exists")) << again.err.toStdString();
        const auto beside = merge({"--gdb", test.made, "--class", "again", "--create"});
        ASSERT_EQ(beside.exitCode, 0) << beside.err.toStdString();
        EXPECT_FALSE(beside.err.contains("Created"));
        EXPECT_EQ(opened(test.made),
                  std::make_pair(test.driver, QStringList{test.className, "again"}));
    }
}

TEST_F(CreateGeodatabaseTest, EachRefusalHasItsStatusAndLeavesNothing) {
    const QString missing = out + "/missing";
    const QString source = root + "/roads.shp";
    // A field source without its table: the merge fails after the geodatabase was made.
    const QString bare = ShapefileFixture::squares(m_dir.path(), "bare", 1);
    QFile::remove(m_dir.filePath("bare.dbf"));
    const struct {
        const char* name;
        int status;
        QString text;
        QStringList options;
    } cases[] = {
        {"missing File Geodatabase",
         7,
         "File  " + missing + ".gdb is not exist!!\n",
         {"--gdb", missing + ".gdb"}},
        {"create with a shapefile output",
         2,
         "--create goes with --gdb",
         {"--out", out, "--create"}},
        {"create of an Access file",
         2,
         "--create makes a GeoPackage (.gpkg) or a File",
         {"--gdb", missing + ".mdb", "--create"}},
        {"create in a missing folder",
         10,
         "Cannot create '" + missing + "/base.gpkg': ",
         {"--gdb", missing + "/base.gpkg", "--create"}},
        {"create without inputs",
         5,
         "No elements for merge\n",
         {"--gdb", missing + ".gpkg", "--create", "--mask", "x*"}},
        {"create, a source named, nothing admitted",
         5,
         "No elements for merge\n",
         {"--gdb", missing + ".gpkg", "--create", "--mask", "x*", "--source", source}},
        {"create, a source named, an invalid mask",
         4,
         "Invalid pattern",
         {"--gdb", missing + ".gdb", "--create", "--mask", "[a-", "--source", source}},
        {"create, then the merge fails",
         10,
         "has no readable table",
         {"--gdb", missing + ".gdb", "--create", "--source", bare}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const auto result = merge(test.options);
        EXPECT_EQ(result.exitCode, test.status) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(test.text)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_TRUE(
        QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

}  // namespace
