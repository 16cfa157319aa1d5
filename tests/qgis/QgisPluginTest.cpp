// The QGIS plugin from the build tree, run by QGIS's own headless runner (qgis_process, offscreen,
// a profile of the test's own): both algorithms listed, the sample sheets merged into every output
// kind as `conflux merge` merges them, and the command's refusals passed on with nothing written.
#include "cli/CliRunner.h"
#include "support/PostgresCluster.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Debian's /usr/bin/qgis_process adds an option 3.22's runner refuses: the binary beside it.
const QString kRunner = QStringLiteral("/usr/bin/qgis_process.bin");

class QgisPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QFile::exists(kRunner)) {
            return;
        }
        PostgresCluster::shared().createDatabase("qgis");
        s_dir = new QTemporaryDir;
        s_sheets = s_dir->filePath("sheets");
        ASSERT_EQ(CliRunner::sampleSheets({s_sheets}).exitCode, 0);
        ASSERT_EQ(qgis({"plugins", "enable", "conflux"}).exitCode, 0);
    }
    static void TearDownTestSuite() { delete s_dir; }
    void SetUp() override {
        if (!QFile::exists(kRunner)) {
            GTEST_SKIP() << "QGIS is not installed (scripts/install-deps.sh installs it)";
        }
        ASSERT_TRUE(m_dir.isValid());
    }

    // qgis_process with the test's profile and the build tree's plugin.
    static CliRunner::Result qgis(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QGIS_CUSTOM_CONFIG_PATH", s_dir->filePath("profile"));
        environment.insert("QGIS_PLUGINPATH", CONFLUX_QGIS_PLUGINS);
        environment.insert("CONFLUX_EXECUTABLE", CONFLUX_EXECUTABLE);
        environment.insert("PYTHONDONTWRITEBYTECODE", "1");
        return CliRunner::run(kRunner, arguments, environment);
    }
    // conflux:merge of the sample sheets' roads into `output`, parameters replaced by `changed`.
    static CliRunner::Result merge(const QString& output, const QStringList& changed = {}) {
        QStringList parameters = {"ROOT=" + s_sheets, "FILE_MASK=roads*", "KIND=line",
                                  "OUTPUT=" + output};
        for (const QString& parameter : changed) {
            parameters.removeIf([&](const QString& p) {
                return p.section('=', 0, 0) == parameter.section('=', 0, 0);
            });
            parameters << parameter;
        }
        return qgis(QStringList{"run", "conflux:merge", "--"} + parameters);
    }
    static CliRunner::Result conflux(const QStringList& output) {
        return CliRunner::conflux(
            QStringList{"merge", s_sheets, "--file-mask", "roads*", "--kind", "line"} + output);
    }

    static QTemporaryDir* s_dir;
    static QString s_sheets;
    QTemporaryDir m_dir;
};
QTemporaryDir* QgisPlugin::s_dir = nullptr;
QString QgisPlugin::s_sheets;

TEST_F(QgisPlugin, ListsBothAlgorithms) {
    const auto list = qgis({"list"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_TRUE(list.out.contains("conflux:merge\tMerge shapefiles from folders"));
    EXPECT_TRUE(list.out.contains("conflux:scan\tFind shapefiles"));
}

// Byte for byte where the output is files of the merge's own, feature for feature elsewhere.
TEST_F(QgisPlugin, MergesTheSampleSheetsIntoEveryOutputAsTheCommandLineDoes) {
    QDir().mkpath(m_dir.filePath("qgis"));
    QDir().mkpath(m_dir.filePath("cli"));
    const QString pg = QString::fromStdString(PostgresCluster::shared().conninfo("qgis"));
    const struct {
        const char* name;
        QString output;  // OUTPUT as QGIS's destination gives it
        QStringList cli;
        QString layer;  // empty: the shapefile
    } cases[] = {
        {"shapefile", m_dir.filePath("qgis/roads.shp"), {"--out", m_dir.filePath("cli")}, {}},
        {"GeoPackage",
         m_dir.filePath("qgis.gpkg"),
         {"--gdb", m_dir.filePath("cli.gpkg"), "--class", "qgis", "--create"},
         "qgis"},
        {"File Geodatabase",
         m_dir.filePath("qgis.gdb"),
         {"--gdb", m_dir.filePath("cli.gdb"), "--class", "qgis", "--create"},
         "qgis"},
        {"PostGIS",
         "postgis:" + pg + " table=\"public\".\"from_qgis\" (geom)",
         {"--pg", pg, "--class", "from_cli"},
         "from_qgis"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const auto run = merge(test.output);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("Merge success!!!\nFeaturs merged 12\nnew Feature count "))
            << run.out.toStdString();
        ASSERT_EQ(conflux(test.cli).exitCode, 0);
        if (test.layer.isEmpty()) {
            for (const char* extension : {".shp", ".shx", ".dbf", ".prj", ".cpg"})
                EXPECT_EQ(ShapefileFixture::bytesOf(m_dir.filePath("qgis/roads") + extension),
                          ShapefileFixture::bytesOf(m_dir.filePath("cli/roads") + extension))
                    << extension;
            continue;
        }
        if (test.output.startsWith("postgis:")) {
            const auto rows = [](const char* table) {
                return PostgresCluster::shared().query(
                    std::string("SELECT t::text FROM ") + table + " t ORDER BY fid", "qgis");
            };
            EXPECT_EQ(rows("from_qgis").size(), 385u);
            EXPECT_EQ(rows("from_qgis"), rows("from_cli"));
            continue;
        }
        const QString made = test.output;
        const QString cli = test.cli[1];
        const auto fromQgis = ShapefileFixture::read(made, test.layer);
        const auto fromCli = ShapefileFixture::read(cli, test.layer);
        EXPECT_EQ(fromQgis.fieldNames, fromCli.fieldNames);
        ASSERT_EQ(fromQgis.features.size(), fromCli.features.size());
        for (std::size_t i = 0; i < fromQgis.features.size(); ++i) {
            EXPECT_EQ(fromQgis.features[i].wkt, fromCli.features[i].wkt) << i;
            EXPECT_EQ(fromQgis.features[i].values, fromCli.features[i].values) << i;
        }
    }
}

// The command's own message, and no output; an existing one stays as it was.
TEST_F(QgisPlugin, RefusalsGiveTheCommandsMessageAndWriteNothing) {
    const QString out = m_dir.filePath("roads.shp");
    ASSERT_EQ(merge(out).exitCode, 0);
    const QByteArray before = ShapefileFixture::bytesOf(out);
    const struct {
        const char* name;
        QStringList parameters;
        QString message;
    } cases[] = {
        {"missing root", {"ROOT=" + m_dir.filePath("missing")}, "Проверьте существование"},
        {"mask matching nothing", {"MASK=nothing*"}, "No elements for merge"},
        {"existing output", {}, "roads.shp существует"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const auto run = merge(out, test.parameters);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.err.contains(test.message) || run.out.contains(test.message))
            << run.err.toStdString();
        EXPECT_EQ(ShapefileFixture::bytesOf(out), before);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }
}

}  // namespace
