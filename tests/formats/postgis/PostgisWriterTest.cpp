// The PostGIS writer and its connection against the test binary's own server: what the merges
// through the command line cannot steer (columns that grow, names that collide, every way a write
// ends early, the server's own refusals), each read back by the server.
#include "formats/postgis/PostgisWriter.h"
#include "support/PostgresCluster.h"
#include "support/WriterFeed.h"

#include <gtest/gtest.h>
#include <ogr_geometry.h>

#include <chrono>
#include <functional>

namespace {
using Rows = std::vector<PostgresCluster::Row>;

std::string scalar(const std::string& sql, const std::string& database = "postgres") {
    const Rows rows = PostgresCluster::shared().query(sql, database);
    return rows.empty() || rows[0].empty() || !rows[0][0] ? std::string() : *rows[0][0];
}

QString conninfo(const std::string& database = "postgres") {
    return QString::fromStdString(PostgresCluster::shared().conninfo(database));
}

std::unique_ptr<PgConnection> connect(const std::string& database = "postgres") {
    return std::make_unique<PgConnection>(conninfo(database));
}

PostgisTarget target(const QString& table, const QString& schema = QStringLiteral("public")) {
    PostgisTarget place;
    place.schema = schema;
    place.table = table;
    return place;
}

PostgisLayout layout(std::vector<OutputField> fields, int srid = 32637) {
    return PostgisLayout{std::move(fields), wkbMultiPolygon, srid};
}

// A unit square at (x, 0).
QByteArray square(int x) {
    return WriterFeed::square(x, 0, 1);
}

using WriterFeed::value;

FieldValue text(QByteArrayView utf8) {
    return value(FieldValue::Type::Text, utf8);
}

PostgisError failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const PostgisError& error) {
        return error;
    }
    ADD_FAILURE() << "no failure";
    return PostgisError(PostgisFailure::Other, {});
}
}  // namespace

// Texts longer and numbers wider than the template declares widen their columns; fields whose
// lower-case names collide, or take the id's or geometry's, are numbered.
TEST(PostgisWriterTest, ColumnsGrowToHoldWhatIsWrittenUnderDistinctNames) {
    const std::vector<OutputField> fields = {
        OutputField::named("NAME", 'C', 5),    OutputField::named("Name", 'C', 4),
        OutputField::named("FID", 'N', 4),     OutputField::named("GEOM", 'N', 5, 2),
        OutputField::named("ПЛОЩАДЬ", 'N', 4), OutputField::named("", 'C', 4)};
    const QByteArray longName = "Набережная Заречная";  // 19 letters, 36 bytes
    const std::vector<std::vector<FieldValue>> features = {
        {text("ab"), text("b"), value(FieldValue::Type::Integer, "12", 12),
         value(FieldValue::Type::Real, "1.5"), value(FieldValue::Type::Integer, "1", 1), text("e")},
        {text(longName),
         {},
         value(FieldValue::Type::Integer, "5000000000", 5000000000),
         value(FieldValue::Type::Real, "123456.789"),
         value(FieldValue::Type::Real, "123456789012345678901234"),
         {}},
        {text("abcdef"),
         {},
         value(FieldValue::Type::Integer, "-2", -2),
         value(FieldValue::Type::Real, "-99999999.994"),
         value(FieldValue::Type::Integer, "-5", -5),
         {}}};
    PostgisTarget place = target(QStringLiteral("Дороги"), QStringLiteral("Карты"));
    place.createSchema = true;
    PostgisWriter writer(connect(), place, layout(fields));
    EXPECT_EQ(writer.columnNames(),
              (QStringList{"name", "name_1", "fid", "geom", "площадь", "field_6"}));
    for (std::size_t i = 0; i < features.size(); ++i) {
        writer.add(square(static_cast<int>(i)), features[i]);
    }
    writer.commit();
    EXPECT_EQ(PostgresCluster::shared().query(
                  "SELECT column_name, format_type(atttypid, atttypmod) FROM "
                  "information_schema.columns JOIN pg_attribute ON attrelid = "
                  "'\"Карты\".\"Дороги\"'::regclass AND attname = column_name WHERE table_schema "
                  "= 'Карты' AND table_name = 'Дороги' ORDER BY ordinal_position"),
              (Rows{{"fid_1", "bigint"},
                    {"name", "character varying(19)"},
                    {"name_1", "character varying(4)"},
                    {"fid", "bigint"},
                    {"geom", "numeric(10,2)"},
                    {"площадь", "numeric(24,0)"},
                    {"field_6", "character varying(4)"},
                    {"geom_1", "geometry(MultiPolygon,32637)"}}));
    EXPECT_EQ(PostgresCluster::shared().query(
                  "SELECT name, fid::text, geom::text, площадь::text FROM \"Карты\".\"Дороги\" "
                  "ORDER BY fid_1"),
              (Rows{{"ab", "12", "1.50", "1"},
                    {longName.toStdString(), "5000000000", "123456.79", "123456789012345678901234"},
                    {"abcdef", "-2", "-99999999.99", "-5"}}));
}

TEST(PostgisWriterTest, EveryEarlyEndLeavesTheDatabaseAsItWas) {
    const std::vector<OutputField> fields = {OutputField::named("NAME", 'C', 10)};
    const std::vector<FieldValue> values = {text("x")};
    const struct {
        const char* name;
        PostgisFailure expected;
        std::function<void(PostgisWriter& writer, bool& cancel)> end;
    } cases[] = {
        {"an input turns unreadable", PostgisFailure::Other,
         [&](PostgisWriter& writer, bool&) {
             for (int i = 0; i < 5000; ++i) {
                 writer.add(square(i), values);
             }
             throw PostgisError(PostgisFailure::Other, QStringLiteral("input unreadable"));
         }},
        {"the server refuses a geometry of another type", PostgisFailure::Other,
         [&](PostgisWriter& writer, bool&) {
             OGRPoint point(1, 2);
             QByteArray wkb(static_cast<qsizetype>(point.WkbSize()), '\0');
             point.exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(wkb.data()));
             writer.add(square(0), values);
             writer.add(wkb, values);
             writer.commit();
         }},
        {"cancel at commit", PostgisFailure::Cancelled,
         [&](PostgisWriter& writer, bool& cancel) {
             writer.add(square(0), values);
             cancel = true;
             writer.commit();
         }},
        {"connection lost", PostgisFailure::ConnectionLost,
         [&](PostgisWriter& writer, bool&) {
             for (int i = 0; i < 2000; ++i) {
                 writer.add(square(i), values);
             }
             scalar(
                 "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                 "application_name = 'conflux'");
             for (int i = 0; i < 100000; ++i) {
                 writer.add(square(i), values);
             }
             writer.commit();
         }},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        PostgisTarget place = target(QStringLiteral("never"), QStringLiteral("fresh_schema"));
        place.createSchema = true;
        bool cancel = false;
        EXPECT_EQ(failureOf([&] {
                      PostgisWriter writer(connect(), place, layout(fields),
                                           [&cancel] { return cancel; });
                      test.end(writer, cancel);
                  }).kind(),
                  test.expected);
        EXPECT_EQ(scalar("SELECT count(*) FROM pg_namespace WHERE nspname = 'fresh_schema'"), "0");
        EXPECT_EQ(scalar("SELECT count(*) FROM pg_class WHERE relname LIKE 'never%'"), "0");
    }
}

TEST(PostgisWriterTest, PlacesTheWriterMayNotTakeAreRefusedUntouched) {
    scalar("CREATE VIEW a_view AS SELECT 1 AS one");
    PostgisTarget view = target(QStringLiteral("a_view"));
    view.replace = true;
    EXPECT_EQ(failureOf([&] { PostgisWriter(connect(), view, layout({})); }).kind(),
              PostgisFailure::Other);
    EXPECT_EQ(scalar("SELECT one FROM a_view"), "1");

    scalar("CREATE DATABASE plain");
    EXPECT_TRUE(
        failureOf([&] { PostgisWriter(connect("plain"), target(QStringLiteral("t")), layout({})); })
            .description()
            .contains(QLatin1String("CREATE EXTENSION postgis")));
}

// An SRID the server lacks is written and warned about; no features still make a table with
// its index, whose id starts at 1.
TEST(PostgisWriterTest, TablesOfEveryKnownAndUnknownSystemAreMade) {
    for (const auto& [srid, warned] : {std::pair{4326, false}, {990001, true}, {0, false}}) {
        SCOPED_TRACE(srid);
        const QString table = QStringLiteral("srid_%1").arg(srid);
        PostgisWriter writer(connect(), target(table),
                             layout({OutputField::named("NAME", 'C', 4)}, srid));
        writer.commit();
        EXPECT_EQ(!writer.warnings().isEmpty(), warned);
        const std::string name = table.toStdString();
        EXPECT_EQ(scalar("SELECT Find_SRID('public', '" + name + "', 'geom')"),
                  std::to_string(srid));
        EXPECT_EQ(scalar("SELECT count(*) FROM pg_indexes WHERE tablename = '" + name + "'"), "2");
        EXPECT_EQ(scalar("INSERT INTO " + name + " (name) VALUES ('a') RETURNING fid"), "1");
    }
}

// libpq quotes the piece it cannot parse, or the whole URI, in its complaint: neither may show.
TEST(PgConnectionTest, RefusedAndMalformedConnectionsTellWhyWithoutTheirSecrets) {
    const struct {
        QString conninfo;
        PostgisFailure kind;
        const char* reason;
    } cases[] = {
        {conninfo("no_such_database"), PostgisFailure::LoginRefused,
         "database \"no_such_database\" does not exist"},
        {conninfo() + " user=nobody_here", PostgisFailure::LoginRefused,
         "role \"nobody_here\" does not exist"},
        {QStringLiteral("host=/tmp password=Zq7 secret words"), PostgisFailure::Other,
         "Invalid PostgreSQL connection string"},
        {QStringLiteral("postgresql://anna:Zq7secret@[::1/postgres"), PostgisFailure::Other,
         "Invalid PostgreSQL connection string"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.conninfo.toStdString());
        const PostgisError error = failureOf([&] { PgConnection connection(test.conninfo); });
        EXPECT_EQ(error.kind(), test.kind);
        EXPECT_TRUE(error.description().contains(QLatin1String(test.reason)))
            << error.description().toStdString();
        EXPECT_FALSE(error.description().contains(QLatin1String("secret")));
        EXPECT_FALSE(error.description().contains(u'\n'));
    }
}

TEST(PgConnectionTest, CancelStopsARunningStatementOnTheServer) {
    PgConnection connection(conninfo());
    const auto started = std::chrono::steady_clock::now();
    connection.setCancelCheck([started] {
        return std::chrono::steady_clock::now() - started > std::chrono::milliseconds(300);
    });
    EXPECT_EQ(failureOf([&] { connection.execute("SELECT pg_sleep(60)"); }).kind(),
              PostgisFailure::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    connection.setCancelCheck({});
    const PostgisError error = failureOf([&] { connection.execute("SELECT * FROM no_table"); });
    EXPECT_TRUE(error.description().contains(QLatin1String("no_table")));
}
