// The PostGIS writer against the test cluster: every coordinate and value read back by the
// server's own functions, the table's types and index, and a database left as it was by every
// way a write can end early.
#include "PostgisTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
constexpr std::pair<CopyRows::Format, const char*> kFormats[] = {
    {CopyRows::Format::Binary, "binary"}, {CopyRows::Format::Text, "text"}};

PostgisLayout layout(std::vector<OutputField> fields, OGRwkbGeometryType type = wkbMultiPolygon,
                     int srid = 32637) {
    return PostgisLayout{std::move(fields), type, srid};
}

// Writes `features` into a new table and commits.
void write(const PostgisTarget& place, const PostgisLayout& columns,
           const std::vector<Feature>& features, CopyRows::Format format = CopyRows::Format::Binary,
           const std::string& database = "postgres") {
    PostgisWriter writer(connect(database), place, columns, {}, format);
    for (const Feature& feature : features) {
        writer.add(feature.wkb, feature.values);
    }
    writer.commit();
}

std::string columnType(const std::string& table, const std::string& column,
                       const std::string& database = "postgres") {
    return scalar("SELECT format_type(atttypid, atttypmod) FROM pg_attribute WHERE attrelid = " +
                      quotedText(table) + "::regclass AND attname = " + quotedText(column),
                  database);
}

PostgisFailure failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const PostgisError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no failure";
    return PostgisFailure::Other;
}
}  // namespace

TEST(PostgisWriterTest, GeometriesComeBackCoordinateForCoordinate) {
    for (const auto& [format, formatName] : kFormats) {
        for (const GeometryCase& test : geometryCases(1e7, 1e-9)) {
            SCOPED_TRACE(std::string(test.name) + " " + formatName);
            const QString table = QStringLiteral("geometries_%1_%2")
                                      .arg(QLatin1String(test.name), QLatin1String(formatName))
                                      .toLower();
            std::vector<Feature> features;
            for (const std::string& wkb : test.written) {
                features.push_back({wkb, {}});
            }
            features.push_back({"", {}});  // no geometry
            write(target(table), layout({}, test.type), features, format);
            const std::string name = "public." + table.toStdString();
            EXPECT_EQ(columnType(name, "geom"),
                      std::string("geometry(") + test.postgisType + ",32637)");
            const auto read = rows(
                "SELECT encode(ST_AsBinary(geom, 'NDR'), 'hex'), ST_SRID(geom) "
                "FROM " +
                name + " ORDER BY fid");
            ASSERT_EQ(read.size(), features.size());
            for (std::size_t i = 0; i < test.written.size(); ++i) {
                EXPECT_EQ(read[i][0], hex(test.written[i])) << i;
                EXPECT_EQ(read[i][1], "32637");
            }
            EXPECT_FALSE(read.back()[0].has_value());
        }
    }
}

TEST(PostgisWriterTest, ValuesComeBackInTheirColumnTypes) {
    const std::string cyrillic(kCyrillic);
    const std::string awkward(kAwkward);
    const std::vector<Feature> features = everyKindOfValue();
    const std::vector<std::vector<std::optional<std::string>>> expected = {
        {cyrillic, "-123456789", "987654321012345", "12.35", "0.1", "true", "2024-02-29"},
        {awkward, "42", "3", "7.00", "-3", "false", "1900-03-01"},
        {"cut", "42", "-9", "-0.01", "1500", std::nullopt, std::nullopt},
        // Not a plain decimal ("1,5"): the double, rounded to the scale.
        {std::nullopt, std::nullopt, std::nullopt, "1.50", std::nullopt, std::nullopt,
         std::nullopt},
    };
    for (const auto& [format, formatName] : kFormats) {
        SCOPED_TRACE(formatName);
        const std::string table = std::string("values_") + formatName;
        write(target(QString::fromStdString(table)), layout(everyKindOfField()), features, format);
        EXPECT_EQ(rows("SELECT name, count::text, big::text, area::text, ratio::text, "
                       "flag::text, day::text FROM " +
                       table + " ORDER BY fid"),
                  expected);
        EXPECT_EQ(columnType(table, "big"), "bigint");  // 15 digits fit one
    }
}

TEST(PostgisWriterTest, ColumnsGrowToHoldWhatIsWritten) {
    const std::vector<OutputField> fields = {
        OutputField::named("NAME", 'C', 5, 0), OutputField::named("COUNT", 'N', 4, 0),
        OutputField::named("AREA", 'N', 5, 2), OutputField::named("WIDE", 'N', 4, 0)};
    const std::string longName = "Набережная Заречная";  // 19 letters, 36 bytes
    const std::vector<Feature> features = {
        {multiPolygonWkb(0, 0, 0, false),
         {Value::text("ab"), Value::integer(12), Value::number("1.5"), Value::integer(1)}},
        {multiPolygonWkb(0, 0, 0, false),
         {Value::text(longName), Value::integer(5000000000), Value::number("123456.789"),
          Value::number("123456789012345678901234")}},
        {multiPolygonWkb(0, 0, 0, false),
         {Value::text("abcdef"), Value::integer(-2), Value::number("-99999999.994"),
          Value::integer(-5)}},
    };
    for (const auto& [format, formatName] : kFormats) {
        SCOPED_TRACE(formatName);
        const std::string table = std::string("grown_") + formatName;
        write(target(QString::fromStdString(table)), layout(fields), features, format);
        EXPECT_EQ(columnType(table, "name"), "character varying(19)");
        EXPECT_EQ(columnType(table, "count"), "bigint");
        EXPECT_EQ(columnType(table, "area"), "numeric(10,2)");
        EXPECT_EQ(columnType(table, "wide"), "numeric(24,0)");
        EXPECT_EQ(rows("SELECT name, count::text, area::text, wide::text FROM " + table +
                       " ORDER BY fid"),
                  (std::vector<PostgresCluster::Row>{
                      {"ab", "12", "1.50", "1"},
                      {longName, "5000000000", "123456.79", "123456789012345678901234"},
                      {"abcdef", "-2", "-99999999.99", "-5"}}));
    }
}

TEST(PostgisWriterTest, ColumnNamesAreLowerCaseDistinctAndLeaveRoomForIdAndGeometry) {
    const std::vector<OutputField> fields = {
        OutputField::named("NAME", 'C', 4, 0),    OutputField::named("Name", 'C', 4, 0),
        OutputField::named("FID", 'N', 5, 0),     OutputField::named("GEOM", 'C', 4, 0),
        OutputField::named("ПЛОЩАДЬ", 'N', 8, 0), OutputField::named("", 'C', 4, 0)};
    const std::vector<FieldValue> values = {Value::text("a"), Value::text("b"),  Value::integer(5),
                                            Value::text("g"), Value::integer(9), Value::text("e")};
    PostgisTarget place = target(QStringLiteral("Дороги"), QStringLiteral("Карты"));
    place.createSchema = true;
    PostgisWriter writer(connect(), place, layout(fields));
    EXPECT_EQ(writer.columnNames(),
              (QStringList{"name", "name_1", "fid", "geom", "площадь", "field_6"}));
    writer.add(multiPolygonWkb(0, 0, 0, false), values);
    writer.commit();
    EXPECT_EQ(rows("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                   "'Карты' AND table_name = 'Дороги' ORDER BY ordinal_position"),
              (std::vector<PostgresCluster::Row>{{"fid_1"},
                                                 {"name"},
                                                 {"name_1"},
                                                 {"fid"},
                                                 {"geom"},
                                                 {"площадь"},
                                                 {"field_6"},
                                                 {"geom_1"}}));
    EXPECT_EQ(scalar("SELECT fid_1 || name || name_1 || fid || geom || площадь || field_6 "
                     "FROM \"Карты\".\"Дороги\""),
              "1ab5g9e");
}

TEST(PostgisWriterTest, ReplacingHappensInTheWritersTransaction) {
    write(target(QStringLiteral("replaced")), layout({}), squares(3));
    const std::string oldTable = scalar("SELECT 'replaced'::regclass::oid");
    PostgisTarget place = target(QStringLiteral("replaced"));
    place.replace = true;
    {
        PostgisWriter abandoned(connect(), place, layout({}));
        abandoned.add(multiPolygonWkb(0, 0, 0, false), {});
    }
    EXPECT_EQ(scalar("SELECT count(*) FROM replaced"), "3");
    PostgisWriter writer(connect(), place, layout({}));
    for (const Feature& feature : squares(5)) {
        writer.add(feature.wkb, feature.values);
    }
    // Others see the old table until the commit (its catalog row; its rows are locked).
    EXPECT_EQ(scalar("SELECT 'replaced'::regclass::oid"), oldTable);
    writer.commit();
    EXPECT_NE(scalar("SELECT 'replaced'::regclass::oid"), oldTable);
    EXPECT_EQ(scalar("SELECT count(*) FROM replaced"), "5");
    // The id goes on from the last feature for rows added later.
    EXPECT_EQ(scalar("INSERT INTO replaced (geom) VALUES (NULL) RETURNING fid"), "6");
}

TEST(PostgisWriterTest, EveryEarlyEndLeavesTheDatabaseAsItWas) {
    const std::vector<OutputField> fields = {OutputField::named("NAME", 'C', 10, 0)};
    const struct {
        const char* name;
        PostgisFailure expected;
        // Adds features to `writer`, and ends the write its way.
        std::function<void(PostgisWriter& writer, bool& cancel)> end;
    } cases[] = {
        {"AnInputTurnsUnreadable", PostgisFailure::Other,
         [](PostgisWriter& writer, bool&) {
             for (int i = 0; i < 5000; ++i) {
                 writer.add(multiPolygonWkb(i, 0, 0, false), {{Value::text("x")}});
             }
             throw PostgisError(PostgisFailure::Other, QStringLiteral("input unreadable"));
         }},
        {"TheServerRefusesAGeometryOfAnotherType", PostgisFailure::Other,
         [](PostgisWriter& writer, bool&) {
             writer.add(multiPolygonWkb(0, 0, 0, false), {{Value::text("x")}});
             writer.add(Wkb(2, 0).points({{0, 0}, {1, 1}}).bytes(), {{Value::text("x")}});
             writer.commit();
         }},
        {"CancelAtCommit", PostgisFailure::Cancelled,
         [](PostgisWriter& writer, bool& cancel) {
             writer.add(multiPolygonWkb(0, 0, 0, false), {{Value::text("x")}});
             cancel = true;
             writer.commit();
         }},
        {"ConnectionLost", PostgisFailure::ConnectionLost,
         [](PostgisWriter& writer, bool&) {
             for (int i = 0; i < 2000; ++i) {
                 writer.add(multiPolygonWkb(i, 0, 0, false), {{Value::text("x")}});
             }
             rows(
                 "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                 "application_name = 'conflux'");
             for (int i = 0; i < 100000; ++i) {
                 writer.add(multiPolygonWkb(i, 0, 0, false), {{Value::text("x")}});
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
                  }),
                  test.expected);
        EXPECT_EQ(scalar("SELECT count(*) FROM pg_namespace WHERE nspname = 'fresh_schema'"), "0");
        EXPECT_EQ(scalar("SELECT count(*) FROM pg_class WHERE relname LIKE 'never%'"), "0");
    }
}

TEST(PostgisWriterTest, ANameThatIsNotATableIsLeftAloneEvenWhenReplacing) {
    rows("CREATE VIEW a_view AS SELECT 1 AS one");
    PostgisTarget place = target(QStringLiteral("a_view"));
    place.replace = true;
    EXPECT_EQ(failureOf([&] { PostgisWriter writer(connect(), place, layout({})); }),
              PostgisFailure::Other);
    EXPECT_EQ(scalar("SELECT one FROM a_view"), "1");
}

TEST(PostgisWriterTest, SridsTheServerDoesNotKnowAreWarned) {
    const struct {
        const char* name;
        int srid;
        bool warned;
    } cases[] = {{"known", 4326, false}, {"unknown", 990001, true}, {"none", 0, false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const QString table = QStringLiteral("srid_%1").arg(QLatin1String(test.name));
        PostgisWriter writer(connect(), target(table), layout({}, wkbMultiPolygon, test.srid));
        writer.add(multiPolygonWkb(0, 0, 0, false), {});
        writer.commit();
        EXPECT_EQ(!writer.warnings().isEmpty(), test.warned);
        EXPECT_EQ(scalar("SELECT ST_SRID(geom) FROM " + table.toStdString()),
                  std::to_string(test.srid));
    }
}

TEST(PostgisWriterTest, DatabaseWithoutPostgisIsTold) {
    rows("CREATE DATABASE plain");
    try {
        PostgisWriter writer(connect("plain"), target(QStringLiteral("t")), layout({}));
        FAIL() << "no error";
    } catch (const PostgisError& error) {
        EXPECT_TRUE(error.description().contains(QLatin1String("CREATE EXTENSION postgis")));
    }
}

TEST(PostgisWriterTest, NoFeaturesMakeAnEmptyTableWithItsIndex) {
    PostgisWriter writer(connect(), target(QStringLiteral("empty")),
                         layout({OutputField::named("NAME", 'C', 4, 0)}, wkbPoint));
    writer.commit();
    EXPECT_EQ(scalar("SELECT count(*) FROM empty"), "0");
    EXPECT_EQ(columnType("empty", "geom"), "geometry(Point,32637)");
    EXPECT_EQ(scalar("SELECT count(*) FROM pg_indexes WHERE tablename = 'empty'"), "2");
    EXPECT_EQ(scalar("INSERT INTO empty (name) VALUES ('a') RETURNING fid"), "1");
}
