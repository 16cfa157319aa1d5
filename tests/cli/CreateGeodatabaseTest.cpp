// --gdb into either geodatabase and --create, through the built executable.
#include "CliRunner.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

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

TEST_F(CreateGeodatabaseTest, CreateMakesAGeoPackageThatTheMergeFills) {
    const QString gpkg = out + "/Base.GPKG";
    const auto first = merge({"--gdb", gpkg, "--class", "roads", "--create"});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains("Created the empty geodatabase " + gpkg));
    EXPECT_TRUE(first.out.startsWith("Merge success!!!"));
    // Once it exists, --create changes nothing of it: the next class goes beside the first.
    const auto second = merge({"--gdb", gpkg, "--class", "again", "--create"});
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_FALSE(second.err.contains("Created"));
    EXPECT_EQ(opened(gpkg), std::make_pair(QString("GPKG"), QStringList{"roads", "again"}));
    EXPECT_EQ(ShapefileFixture::read(gpkg, "roads").features.size(), 3u);
}

// Read back through GDAL, and the row count from the table file's header without it (the new
// class's table is the folder's highest-numbered one).
TEST_F(CreateGeodatabaseTest, CreateMakesAFileGeodatabaseThatTheMergeFills) {
    for (const QString& asked : {out + "/maps.gdb", out + "/Карты.GDB/"}) {
        SCOPED_TRACE(asked.toStdString());
        const QString gdb = asked.endsWith('/') ? asked.chopped(1) : asked;
        const auto result = merge({"--gdb", asked, "--class", "roads", "--create"});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("Created the empty geodatabase " + gdb));
        EXPECT_TRUE(
            result.out.startsWith("Merge success!!!\nFeaturs merged 1\n"
                                  "new Feature count 3\nnot merged 0\n"))
            << result.out.toStdString();
        EXPECT_EQ(opened(gdb), std::make_pair(QString("OpenFileGDB"), QStringList{"roads"}));
        const ShapefileFixture::ReadLayer roads = ShapefileFixture::read(gdb, "roads");
        EXPECT_EQ(roads.geometryType, "Multi Line String");
        EXPECT_EQ(roads.fieldTypes, QStringList({"String(30)", "Integer(0)"}));
        ASSERT_EQ(roads.features.size(), 3u);
        EXPECT_EQ(roads.features[2].wkt, "MULTILINESTRING ((2 0,2 1))");
        EXPECT_EQ(roads.features[2].values, QStringList({"дорога 2", "2"}));

        const QStringList tables = QDir(gdb).entryList({"a*.gdbtable"}, QDir::Files, QDir::Name);
        ASSERT_FALSE(tables.isEmpty());
        QFile table(gdb + '/' + tables.last());
        ASSERT_TRUE(table.open(QIODevice::ReadOnly));
        const QByteArray header = table.read(8);
        ASSERT_EQ(header.size(), 8);
        EXPECT_EQ(qFromLittleEndian<qint32>(header.constData() + 4), 3);

        // The class is there now: a second merge of that name is refused, the folder unchanged.
        const QByteArray before = ShapefileFixture::bytesOf(gdb + '/' + tables.last());
        const QStringList files = QDir(gdb).entryList(QDir::Files | QDir::Hidden | QDir::AllDirs);
        const auto again = merge({"--gdb", gdb, "--class", "ROADS"});
        EXPECT_EQ(again.exitCode, 10);
        EXPECT_TRUE(again.err.contains("Feature class 'ROADS' exists")) << again.err.toStdString();
        EXPECT_EQ(QDir(gdb).entryList(QDir::Files | QDir::Hidden | QDir::AllDirs), files);
        EXPECT_EQ(ShapefileFixture::bytesOf(gdb + '/' + tables.last()), before);
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

// A class name the format cannot hold is adjusted by GDAL; the user is told the name it got.
TEST_F(CreateGeodatabaseTest, AdjustedClassNameIsReportedAsAWarning) {
    const QString gdb = out + "/sheets.gdb";
    const auto result = merge({"--gdb", gdb, "--class", "N-37-roads", "--create"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(
        "Warning: Feature class 'N-37-roads' is named 'N_37_roads' in the geodatabase"))
        << result.err.toStdString();
    EXPECT_EQ(opened(gdb), std::make_pair(QString("OpenFileGDB"), QStringList{"N_37_roads"}));
}

}  // namespace
