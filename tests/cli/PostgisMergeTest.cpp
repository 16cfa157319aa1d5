// conflux merge --pg through the built executable into the test binary's own server: what the
// table holds read back by the server's functions, and a database left as it was by every way
// a run can end early.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "ManyPoints.h"
#include "platform/DbfFixture.h"
#include "support/PostgresCluster.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

namespace {

using Rows = std::vector<PostgresCluster::Row>;

const std::string kUtf8Database = "merge_utf8";
const std::string kWin1251Database = "merge_win1251";

PostgresCluster& cluster() {
    return PostgresCluster::shared();
}

std::string scalar(const std::string& sql, const std::string& database = kUtf8Database) {
    const Rows rows = cluster().query(sql, database);
    return rows.empty() || rows[0].empty() || !rows[0][0] ? std::string() : *rows[0][0];
}

bool tableExists(const std::string& table, const std::string& database = kUtf8Database) {
    return scalar("SELECT to_regclass('" + table + "') IS NOT NULL", database) == "t";
}

std::string count(const std::string& table, const std::string& database = kUtf8Database) {
    return scalar("SELECT count(*) FROM " + table, database);
}

// Squares of side 1 on a grid, with a numbered text field.
void squares(const QString& folder, const QString& name, int count, int first = 0) {
    std::vector<ShapefileFixture::Feature> features;
    for (int i = first; i < first + count; ++i) {
        const int x = (i % 100) * 2;
        const int y = (i / 100) * 2;
        features.push_back({QStringLiteral("POLYGON ((%1 %2,%1 %4,%3 %4,%3 %2,%1 %2))")
                                .arg(x)
                                .arg(y)
                                .arg(x + 1)
                                .arg(y + 1)
                                .toUtf8(),
                            {QString::number(i)}});
    }
    ShapefileFixture::write(folder, name, "POLYGON", {{"LABEL", 'C', 8}}, features);
}

// Waits until the server runs a session of the merge's that matches `condition` (on
// pg_stat_activity); false when the run ended first.
bool waitForSession(ChildProcess& child, const std::string& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!child.hasEnded() && clock.elapsed() < 60000) {
        if (scalar("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'conflux' "
                   "AND " +
                   condition) != "0") {
            return true;
        }
        QThread::msleep(5);
    }
    return false;
}

class PostgisMerge : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        GDALAllRegister();
        cluster().createDatabase(kUtf8Database, "UTF8");
        cluster().createDatabase(kWin1251Database, "WIN1251");
    }

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        root = m_dir.filePath("sheets");
        QDir().mkpath(root);
    }

    QString folder(const QString& name) {
        const QString path = QDir(root).filePath(name);
        QDir().mkpath(path);
        return path;
    }

    static QString conninfo(const std::string& database = kUtf8Database) {
        return QString::fromStdString(cluster().conninfo(database));
    }

    // conflux merge ROOT --kind KIND --pg CONNINFO --class TABLE, and `extra`.
    CliRunner::Result merge(const QString& table, const QStringList& extra = {},
                            const std::string& database = kUtf8Database,
                            const QString& kind = QStringLiteral("polygon")) {
        return CliRunner::conflux(QStringList{"merge", root, "--depth", "3", "--kind", kind, "--pg",
                                              conninfo(database), "--class", table} +
                                  extra);
    }

    QTemporaryDir m_dir;
    QString root;
};

TEST_F(PostgisMerge, EveryValueAndCoordinateComesBackAsTheInputsHoldThem) {
    const QString first = ShapefileFixture::write(
        folder("a"), "parcels", "POLYGON", {{"NAME", 'C', 12}},
        {{"POLYGON ((0 0,0 10,10 10,10 0,0 0),(2 2,4 2,4 4,2 4,2 2))", {"a"}},
         {"MULTIPOLYGON (((20 0,20 5,25 5,20 0)),((30 0,30 5,35 5,30 0)))", {"b"}},
         {"", {"c"}}});
    const QString second = ShapefileFixture::write(
        folder("b"), "parcels", "POLYGON", {{"NAME", 'C', 12}},
        {{"POLYGON ((500000.125 6000000.5,500000.125 6000100.75,500100 6000000.5,"
          "500000.125 6000000.5))",
          {"d"}}});
    ShapefileFixture::writePrj(first, 32637);
    // Every dBASE type, blanks too: the template's table and the second input's.
    DbfFixture table;
    table.fields = {{"NAME", 'C', 12},      {"CNT", 'N', 9}, {"AREA", 'N', 12, 3}, {"BIG", 'N', 20},
                    {"RATIO", 'F', 19, 11}, {"OK", 'L', 1},  {"DAY", 'D', 8}};
    table.records = {
        {"Parcel \"1\"", "42", "1234.5", "1234567890123456789", "0.33333333333", "T", "20240229"},
        {"tab\there", "-7", "-0.125", "", "1e-5", "n", "20230230"},
        {"", "", "", "-9999999999999999999", "", "?", ""}};
    DbfFixture::write(QDir(root).filePath("a/parcels.dbf"), table.bytes());
    // A number kept as text by the second input: read as the number it writes.
    table.fields[2] = {"AREA", 'C', 12};
    table.records = {{"last", "99999999", "1.5e3", "7", "-2.5", "Y", "19991231"}};
    DbfFixture::write(QDir(root).filePath("b/parcels.dbf"), table.bytes());

    const auto run = merge("parcels");
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Merge success!!!")) << run.out.toStdString();

    const std::vector<std::string> geometries = {
        "MULTIPOLYGON(((0 0,0 10,10 10,10 0,0 0),(2 2,4 2,4 4,2 4,2 2)))",
        "MULTIPOLYGON(((20 0,20 5,25 5,20 0)),((30 0,30 5,35 5,30 0)))", "",
        "MULTIPOLYGON(((500000.125 6000000.5,500000.125 6000100.75,500100 6000000.5,"
        "500000.125 6000000.5)))"};
    const Rows rows = cluster().query(
        "SELECT fid, name, cnt, area, big, ratio, ok, day, ST_AsText(geom), ST_SRID(geom) "
        "FROM parcels ORDER BY fid",
        kUtf8Database);
    using Value = std::optional<std::string>;
    const std::vector<std::vector<Value>> expected = {
        {"1", "Parcel \"1\"", "42", "1234.500", "1234567890123456789", "0.33333333333", "t",
         "2024-02-29"},
        {"2", "tab\there", "-7", "-0.125", {}, "1e-05", "f", {}},
        {"3", {}, {}, {}, "-9999999999999999999", {}, {}, {}},
        {"4", "last", "99999999", "1500.000", "7", "-2.5", "t", "1999-12-31"}};
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::vector<Value>(rows[i].begin(), rows[i].begin() + 8), expected[i]);
        EXPECT_EQ(rows[i][8].value_or(""), geometries[i]);
        EXPECT_EQ(rows[i][9].value_or("32637"), "32637");
    }
    const Rows types = cluster().query(
        "SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute WHERE attrelid = "
        "'parcels'::regclass AND attnum > 0 ORDER BY attnum",
        kUtf8Database);
    const Rows expectedTypes = {{"fid", "bigint"},
                                {"name", "character varying(12)"},
                                {"cnt", "integer"},
                                {"area", "numeric(12,3)"},
                                {"big", "numeric(20,0)"},
                                {"ratio", "double precision"},
                                {"ok", "boolean"},
                                {"day", "date"},
                                {"geom", "geometry(MultiPolygon,32637)"}};
    EXPECT_EQ(types, expectedTypes);
}

// Sheets of zone 38N beside a field source in 37N: one SRID for the table, every polygon valid
// (holes still holes), each vertex where GDAL's own transformation puts it.
TEST_F(PostgisMerge, SheetsOfAnotherZoneArriveInTheFieldSourcesSystem) {
    const QByteArray ring =
        "(300000 6100000,300000 6100100,300100 6100100,300100 6100000,"
        "300000 6100000),(300010 6100010,300050 6100010,300050 6100050,"
        "300010 6100010)";
    const QString source = ShapefileFixture::write(folder("a"), "zone", "POLYGON", {},
                                                   {{"POLYGON ((0 0,0 1,1 1,0 0))", {}}});
    const QString other = ShapefileFixture::write(folder("b"), "zone", "POLYGON", {},
                                                  {{"POLYGON (" + ring + ")", {}}});
    ShapefileFixture::writePrj(source, 32637);
    ShapefileFixture::writePrj(other, 32638);
    const auto run = merge("zones", {"--source", source});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("reprojected from WGS 84 / UTM zone 38N (EPSG:32638): 1"))
        << run.out.toStdString();

    OGRSpatialReference from, to;
    from.importFromEPSG(32638);
    to.importFromEPSG(32637);
    for (OGRSpatialReference* srs : {&from, &to})
        srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRGeometry* expected = nullptr;
    const QByteArray wkt = "POLYGON (" + ring + ")";
    OGRGeometryFactory::createFromWkt(wkt.constData(), &from, &expected);
    ASSERT_EQ(expected->transformTo(&to), OGRERR_NONE);
    const std::string expectedWkt = expected->exportToWkt();
    OGRGeometryFactory::destroyGeometry(expected);
    const Rows rows = cluster().query(
        "SELECT ST_SRID(geom), ST_IsValid(geom), ST_NumInteriorRings(ST_GeometryN(geom, 1)), "
        "ST_HausdorffDistance(ST_GeometryN(geom, 1), ST_GeomFromText('" +
            expectedWkt + "', 32637)) < 0.001 FROM zones ORDER BY fid",
        kUtf8Database);
    EXPECT_EQ(rows, (Rows{{"32637", "t", "0", "f"}, {"32637", "t", "1", "t"}}));
}

TEST_F(PostgisMerge, CyrillicFromEitherCodePageArrivesInTheDatabasesEncoding) {
    const QString names[] = {QStringLiteral("Улица Ленина, д. 5"),
                             QStringLiteral("Проспект Мира №7"), QStringLiteral("Ёлкино")};
    ShapefileFixture::write(folder("a"), "roads", "LINESTRING", {{"NAME", 'C', 20}},
                            {{"LINESTRING (0 0,1 1)", {names[0]}}},
                            ShapefileFixture::Encoding("CP1251", "1251"));
    ShapefileFixture::write(
        folder("b"), "roads", "LINESTRING", {{"NAME", 'C', 20}},
        {{"LINESTRING (2 2,3 3)", {names[1]}}, {"LINESTRING (4 4,5 5)", {names[2]}}},
        ShapefileFixture::Encoding("CP866", "866"));
    for (const std::string& database : {kUtf8Database, kWin1251Database}) {
        SCOPED_TRACE(database);
        const auto run = merge("roads", {}, database, "line");
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const Rows rows = cluster().query(
            "SELECT name, char_length(name), octet_length(name) FROM roads ORDER BY fid", database);
        ASSERT_EQ(rows.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const QString name = QString::fromStdString(rows[i][0].value_or(""));
            EXPECT_EQ(name, names[i]);
            EXPECT_EQ(rows[i][1], std::to_string(name.size()));
            // WIN1251 holds each of these characters in one byte.
            const qsizetype bytes =
                database == kWin1251Database ? name.size() : name.toUtf8().size();
            EXPECT_EQ(rows[i][2], std::to_string(bytes));
        }
    }
}

TEST_F(PostgisMerge, AnExistingTableIsRefusedUnlessYesReplacesIt) {
    squares(folder("a"), "grid", 10);
    ASSERT_EQ(merge("kept").exitCode, 0);
    squares(folder("b"), "grid", 5, 10);

    const auto refused = merge("kept");
    EXPECT_EQ(refused.exitCode, 8);
    EXPECT_TRUE(refused.err.contains("Table 'public.kept' already exists"))
        << refused.err.toStdString();
    EXPECT_EQ(count("kept"), "10");

    const auto replaced = merge("kept", {"--yes"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_EQ(count("kept"), "15");

    const auto noSchema = merge("elsewhere", {"--schema", "missing"});
    EXPECT_EQ(noSchema.exitCode, 10);
    EXPECT_TRUE(noSchema.err.contains("Schema 'missing' does not exist"))
        << noSchema.err.toStdString();
}

// The second input's text has no place in a WIN1251 database: the server refuses the rows after
// the first input's went in, and the run leaves nothing of its own.
TEST_F(PostgisMerge, AFailureMidwayLeavesTheDatabaseAsItWas) {
    squares(folder("a"), "grid", 20000);
    ShapefileFixture::write(folder("b"), "grid", "POLYGON", {{"LABEL", 'C', 8}},
                            {{"POLYGON ((0 0,0 1,1 1,0 0))", {QStringLiteral("漢字")}}},
                            ShapefileFixture::Encoding({}, "UTF-8"));
    const auto fresh = merge("midway", {}, kWin1251Database);
    EXPECT_EQ(fresh.exitCode, 10);
    EXPECT_TRUE(fresh.err.contains("WIN1251")) << fresh.err.toStdString();
    EXPECT_FALSE(tableExists("midway", kWin1251Database));

    cluster().query("CREATE TABLE midway (id integer)", kWin1251Database);
    cluster().query("INSERT INTO midway VALUES (1), (2)", kWin1251Database);
    const auto replacing = merge("midway", {"--yes"}, kWin1251Database);
    EXPECT_EQ(replacing.exitCode, 10);
    EXPECT_EQ(count("midway", kWin1251Database), "2");
}

TEST_F(PostgisMerge, CtrlCRollsBackAndLeavesNoTable) {
    manyPoints(folder("large"), "grid", 600000);
    cluster().query("CREATE TABLE old_points (id integer)", kUtf8Database);
    for (const char* table : {"new_points", "old_points"}) {
        SCOPED_TRACE(table);
        ChildProcess child({"merge", root.toUtf8(), "--depth", "3", "--kind", "point", "--pg",
                            conninfo().toUtf8(), "--class", table, "--yes"});
        // The rows are on their way once the server runs the merge's COPY.
        const bool copying = waitForSession(child, "query LIKE 'COPY%'");
        ASSERT_TRUE(copying) << "the merge ended before the interrupt";
        child.signal(SIGINT);
        ASSERT_TRUE(child.wait(60000));
        EXPECT_EQ(child.exitCode, 130) << child.err.constData();
        EXPECT_TRUE(child.err.contains("Interrupted: nothing was written.")) << child.err.data();
    }
    EXPECT_FALSE(tableExists("new_points"));
    EXPECT_TRUE(tableExists("old_points"));
    EXPECT_EQ(scalar("SELECT string_agg(attname, ',') FROM pg_attribute WHERE attrelid = "
                     "'old_points'::regclass AND attnum > 0"),
              "id");
}

TEST_F(PostgisMerge, RefusedLoginsAndAbsentServersGetTheirOwnStatusWithoutThePassword) {
    squares(folder("a"), "grid", 3);
    const QString password = QStringLiteral("wrong-Пароль-77");
    const QString login = QString::fromStdString(cluster().loginConninfo());
    const struct {
        const char* name;
        QString conninfo;
        QList<QByteArray> environment;
        int status;
        const char* reason;
    } cases[] = {
        {"password in the string",
         login + " password='" + password + "'",
         {},
         12,
         "password authentication failed"},
        {"password in the environment",
         login,
         {"PGPASSWORD=" + password.toUtf8()},
         12,
         "password authentication failed"},
        {"password in a URI",
         QStringLiteral("postgresql://%1:%2@/postgres?host=%3")
             .arg(PostgresCluster::kLoginRole, QUrl::toPercentEncoding(password),
                  QString::fromStdString(cluster().folder())),
         {},
         12,
         "password authentication failed"},
        {"no server at the socket",
         "host=" + m_dir.path() + " dbname=postgres",
         {},
         11,
         "No such file or directory"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        ChildProcess child({"merge", root.toUtf8(), "--kind", "polygon", "--pg",
                            row.conninfo.toUtf8(), "--class", "never"},
                           row.environment);
        ASSERT_TRUE(child.wait(60000));
        EXPECT_EQ(child.exitCode, row.status) << child.err.constData();
        const QString err = QString::fromUtf8(child.err);
        EXPECT_TRUE(err.contains(row.reason)) << err.toStdString();
        EXPECT_FALSE(err.contains(password)) << err.toStdString();
        EXPECT_FALSE(err.contains(QUrl::toPercentEncoding(password))) << err.toStdString();
        EXPECT_FALSE(QString::fromUtf8(child.out).contains(password));
        // The reason is the last line, and one line.
        EXPECT_EQ(err.trimmed().split('\n').last().contains(row.reason), true) << err.toStdString();
    }
    EXPECT_FALSE(tableExists("never", "postgres"));
}

}  // namespace
