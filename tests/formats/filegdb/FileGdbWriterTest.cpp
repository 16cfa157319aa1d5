// The File Geodatabase writer: every coordinate, value and field type read back through GDAL,
// the coordinate system, the spatial index a filtered read uses, and the names GDAL adjusts.
#include "FileGdbTestSupport.h"
#include "gdal/SpatialReference.h"

#include <gtest/gtest.h>

#include <cpl_conv.h>
#include <ogr_spatialref.h>

#include <QFile>

#include <optional>

namespace {
// The features of class `name`, in id order, as ISO WKB ("" for none).
std::vector<std::string> geometriesOf(const QString& gdb, const QString& name) {
    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    OGRLayer* layer = dataset->GetLayerByName(name.toUtf8().constData());
    std::vector<std::string> geometries;
    for (auto&& feature : *layer) {
        const OGRGeometry* geometry = feature->GetGeometryRef();
        geometries.push_back(geometry ? isoWkb(*geometry) : std::string());
    }
    return geometries;
}
}  // namespace

TEST(FileGdbWriterTest, GeometriesComeBackCoordinateForCoordinate) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    // The geodatabase keeps coordinates on a grid: a coarser `near`, a nearer `far`.
    for (const GeometryCase& test : geometryCases(1e6, 0.0625)) {
        SCOPED_TRACE(test.name);
        std::vector<Feature> features;
        for (const std::string& wkb : test.written) {
            features.push_back({wkb, {}});
        }
        features.push_back({"", {}});  // no geometry
        write(gdb, test.name, layout({}, test.type), features);
        const GDALDatasetUniquePtr dataset = openForReading(gdb);
        EXPECT_EQ(dataset->GetLayerByName(test.name)->GetGeomType(), test.type);
        const std::vector<std::string> read = geometriesOf(gdb, test.name);
        ASSERT_EQ(read.size(), features.size());
        for (std::size_t i = 0; i < test.written.size(); ++i) {
            EXPECT_EQ(hex(read[i]), hex(test.written[i])) << i;
        }
        EXPECT_TRUE(read.back().empty());
    }
}

TEST(FileGdbWriterTest, ValuesComeBackInTheirFieldTypes) {
    const std::string cyrillic(kCyrillic);
    const std::string awkward(kAwkward);
    const std::vector<Feature> features = everyKindOfValue();
    const std::vector<std::vector<std::optional<std::string>>> expected = {
        {cyrillic, "-123456789", "987654321012345", "12.345", "0.1", "1", "2024/02/29"},
        {awkward, "42", "3", "7", "-3", "0", "1900/03/01"},
        {"cut", "42", "-9", "-0.005", "1500", std::nullopt, std::nullopt},  // 41.5 rounds up
        {std::nullopt, std::nullopt, std::nullopt, "1.5", std::nullopt, std::nullopt, std::nullopt},
    };
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    write(gdb, "attributes", layout(everyKindOfField()), features);

    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    OGRLayer* layer = dataset->GetLayerByName("attributes");
    ASSERT_NE(layer, nullptr);
    const OGRFeatureDefn* definition = layer->GetLayerDefn();
    const struct {
        const char* name;
        OGRFieldType type;
        OGRFieldSubType subType;
        int width;
    } types[] = {{"NAME", OFTString, OFSTNone, 30}, {"COUNT", OFTInteger, OFSTNone, 0},
                 {"BIG", OFTReal, OFSTNone, 0},     {"AREA", OFTReal, OFSTNone, 0},
                 {"RATIO", OFTReal, OFSTNone, 0},   {"FLAG", OFTInteger, OFSTInt16, 0},
                 {"DAY", OFTDateTime, OFSTNone, 0}};
    ASSERT_EQ(definition->GetFieldCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const OGRFieldDefn* field = definition->GetFieldDefn(i);
        EXPECT_STREQ(field->GetNameRef(), types[i].name);
        EXPECT_EQ(field->GetType(), types[i].type) << types[i].name;
        EXPECT_EQ(field->GetSubType(), types[i].subType) << types[i].name;
        EXPECT_EQ(field->GetWidth(), types[i].width) << types[i].name;
    }
    std::vector<std::vector<std::optional<std::string>>> read;
    for (auto&& feature : *layer) {
        std::vector<std::optional<std::string>> row;
        for (int i = 0; i < 7; ++i) {
            if (!feature->IsFieldSetAndNotNull(i)) {
                row.push_back(std::nullopt);
            } else if (i == 6) {  // the date, without the time GDAL reads along
                row.push_back(std::string(feature->GetFieldAsString(i)).substr(0, 10));
            } else {
                row.push_back(feature->GetFieldAsString(i));
            }
        }
        read.push_back(row);
    }
    EXPECT_EQ(read, expected);
}

TEST(FileGdbWriterTest, TextWidthsGrowToTheLongestValue) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    const std::string longName = "Набережная Заречная";  // 19 letters, 36 bytes
    write(gdb, "widths",
          layout({OutputField::named("SHORT", 'C', 5, 0), OutputField::named("KEPT", 'C', 40, 0)}),
          {{multiPolygonWkb(0, 0, 0, false), {Value::text("abc"), Value::text("abc")}},
           {multiPolygonWkb(0, 0, 0, false), {Value::text(longName), Value::null}}});
    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    OGRLayer* layer = dataset->GetLayerByName("widths");
    EXPECT_EQ(layer->GetLayerDefn()->GetFieldDefn(0)->GetWidth(), 19);
    EXPECT_EQ(layer->GetLayerDefn()->GetFieldDefn(1)->GetWidth(), 40);
    const OGRFeatureUniquePtr second(layer->GetFeature(2));
    EXPECT_EQ(std::string(second->GetFieldAsString(0)), longName);
}

TEST(FileGdbWriterTest, UnreadableGeometriesAreRefusedAndNumbersTooWideEmptied) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    const std::string square = multiPolygonWkb(0, 0, 0, false);
    const struct {
        const char* name;
        std::string wkb;
        FieldValue value;
        FileGdbWriter::Added added;
    } cases[] = {
        {"Fits", square, Value::integer(5), FileGdbWriter::Added::Written},
        {"TruncatedWkb", square.substr(0, 20), Value::integer(5),
         FileGdbWriter::Added::GeometryRefused},
        {"IntegerBeyond32Bits", square, Value::integer(3000000000),
         FileGdbWriter::Added::NumberEmptied},
        {"DecimalBeyond32Bits", square, Value::number("-2147483649"),
         FileGdbWriter::Added::NumberEmptied},
        {"LargestInteger", square, Value::number("2147483647"), FileGdbWriter::Added::Written},
    };
    FileGdbWriter writer({gdb, "refusals"}, layout({OutputField::named("COUNT", 'N', 9, 0)}));
    std::int64_t written = 0;
    for (const auto& test : cases) {
        const std::vector<FieldValue> values{test.value};
        EXPECT_EQ(writer.add(test.wkb, values), test.added) << test.name;
        written += test.added == FileGdbWriter::Added::GeometryRefused ? 0 : 1;
    }
    writer.commit();
    EXPECT_EQ(writer.featuresWritten(), written);
    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    OGRLayer* layer = dataset->GetLayerByName("refusals");
    std::vector<std::optional<int>> counts;
    for (auto&& feature : *layer) {
        counts.push_back(feature->IsFieldSetAndNotNull(0)
                             ? std::optional<int>(feature->GetFieldAsInteger(0))
                             : std::nullopt);
    }
    EXPECT_EQ(counts, (std::vector<std::optional<int>>{5, std::nullopt, std::nullopt, 2147483647}));
}

TEST(FileGdbWriterTest, ValueOfAnotherKindFailsTheWrite) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    const auto before = folderHashes(gdb);
    const struct {
        const char* name;
        OutputField field;
        FieldValue value;
    } cases[] = {
        {"TextForANumber", OutputField::named("COUNT", 'N', 9, 0), Value::text("5")},
        {"NumberForText", OutputField::named("NAME", 'C', 9, 0), Value::integer(5)},
        {"NumberForADate", OutputField::named("DAY", 'D', 8, 0), Value::number("20240101")},
        {"TextForABoolean", OutputField::named("FLAG", 'L', 1, 0), Value::text("T")},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        FileGdbWriter writer({gdb, test.name}, layout({test.field}));
        const std::vector<FieldValue> values{test.value};
        try {
            writer.add(multiPolygonWkb(0, 0, 0, false), values);
            ADD_FAILURE() << "taken";
        } catch (const FileGdbError& error) {
            EXPECT_EQ(error.kind(), FileGdbFailure::Other);
            EXPECT_TRUE(error.description().contains(test.field.name))
                << error.description().toStdString();
        }
        EXPECT_EQ(folderHashes(gdb), before);
    }
}

TEST(FileGdbWriterTest, CoordinateSystemComesFromThePrj) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    const QString prj = dir.filePath("sheet.prj");
    // A Pulkovo 1942 local zone, as map sheets of the region declare it: no EPSG code of its own.
    const QByteArray localZone =
        "PROJCS[\"Local zone\",GEOGCS[\"GCS_Pulkovo_1942\",DATUM[\"D_Pulkovo_1942\",SPHEROID["
        "\"Krasovsky_1940\",6378245.0,298.3]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\","
        "0.0174532925199433]],PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\","
        "1300000.0],PARAMETER[\"False_Northing\",-5412900.566],PARAMETER[\"Central_Meridian\","
        "38.48333333333],PARAMETER[\"Scale_Factor\",1.0],PARAMETER[\"Latitude_Of_Origin\",0.0],"
        "UNIT[\"Meter\",1.0]]";
    QFile file(prj);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(localZone);
    file.close();
    const PrjReading reading = readPrjFile(prj);
    ASSERT_EQ(reading.outcome, PrjReading::Outcome::Read);
    FileGdbLayout columns = layout({});
    columns.spatialReference = reading.srs;
    write(gdb, "projected", columns, squares(3));
    write(gdb, "unknown", layout({}), squares(3));

    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    const OGRSpatialReference* written = dataset->GetLayerByName("projected")->GetSpatialRef();
    ASSERT_NE(written, nullptr);
    const char* const ignoringAxes[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};
    EXPECT_TRUE(written->IsSame(reading.srs.get(), ignoringAxes));
    EXPECT_DOUBLE_EQ(written->GetProjParm(SRS_PP_FALSE_NORTHING), -5412900.566);
    EXPECT_EQ(dataset->GetLayerByName("unknown")->GetSpatialRef(), nullptr);
}

TEST(FileGdbWriterTest, FilteredReadsUseTheSpatialIndex) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    write(gdb, "indexed", layout({}), squares(2000));
    // Without the index GDAL would build one in memory on the first read; here it may not.
    CPLSetThreadLocalConfigOption("OPENFILEGDB_IN_MEMORY_SPI", "NO");
    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    OGRLayer* layer = dataset->GetLayerByName("indexed");
    // The squares at columns 10..11 of rows 3..4: x 200..230, y 60..90.
    layer->SetSpatialFilterRect(205, 65, 225, 85);
    EXPECT_TRUE(layer->TestCapability(OLCFastSpatialFilter));
    std::vector<GIntBig> found;
    for (auto&& feature : *layer) {
        found.push_back(feature->GetFID());
    }
    CPLSetThreadLocalConfigOption("OPENFILEGDB_IN_MEMORY_SPI", nullptr);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<GIntBig>{161, 162, 211, 212}));
}

TEST(FileGdbWriterTest, NamesTheFormatDoesNotTakeAreAdjustedAndReported) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    FileGdbLayout columns =
        layout({OutputField::named("DATE", 'D', 8, 0), OutputField::named("SHAPE", 'C', 5, 0),
                OutputField::named("a-b", 'C', 5, 0), OutputField::named("Улица", 'C', 5, 0)});
    FileGdbWriter writer({gdb, "N-37-001"}, columns);
    EXPECT_EQ(writer.className(), "N_37_001");
    EXPECT_EQ(writer.fieldNames(), (QStringList{"DATE_", "SHAPE_1", "a_b", "Улица"}));
    EXPECT_EQ(writer.warnings().size(), 4) << writer.warnings().join('\n').toStdString();
    writer.commit();
    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    EXPECT_NE(dataset->GetLayerByName("N_37_001"), nullptr);
}
