#include "support/ChildProcess.h"
#include "support/IndependentReaders.h"
#include "support/ShapeBytes.h"

#include "errors/ConfluxError.h"
#include "formats/shapefile/ShapefileWriter.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstring>

namespace {

using ShapeBytes::record;

OutputSchema oneField() {
    OutputSchema schema;
    OutputField id;
    id.dbfName = "ID";
    id.type = 'N';
    id.width = 4;
    id.offset = 1;
    schema.fields.push_back(id);
    schema.recordLength = 5;
    return schema;
}

void append(ShapefileWriter& writer, const QByteArray& content, const char* row = "    1") {
    ShapeRecord shape;
    ASSERT_NE(shape.parse(content.constData(), content.size()), ShapeRecord::Status::Malformed);
    writer.append(shape, row);
}

QJsonArray numbers(std::initializer_list<double> values) {
    QJsonArray array;
    for (const double value : values) {
        array.append(value);
    }
    return array;
}

// A null shape first, a record with measures, one whose measures are "no data" and one without
// a measure section: the header holds the true box and only the measures that are data.
TEST(ShapefileWriter, HeaderRangesAreThoseOfTheShapesAndMeasuresPresent) {
    QTemporaryDir dir;
    const OutputSchema schema = oneField();
    {
        ShapefileWriter writer(dir.filePath("out"), dir.filePath("shown"), ShpType::PolyLineZ,
                               schema, 0, {});
        append(writer, record(ShpType::Null, {}));
        append(writer, record(ShpType::PolyLineZ, {{{5, 6, 1, 10}, {7, 8, 2, 20}}}));
        append(writer, record(ShpType::PolyLineZ, {{{-1, 9, 3, -1e39}, {0, 9, 4, -1e39}}}));
        append(writer, record(ShpType::PolyLineZ, {{{2, 2, -5}, {3, 3, 0}}}, false));
        writer.finish();
    }
    const QJsonObject read = IndependentReaders::pyshp(dir.filePath("out.shp"));
    ASSERT_FALSE(read.contains("error")) << read["error"].toString().toStdString();
    EXPECT_EQ(read["bbox"].toArray(), numbers({-1, 2, 7, 9}));
    EXPECT_EQ(read["zbox"].toArray(), numbers({-5, 4}));
    EXPECT_EQ(read["mbox"].toArray(), numbers({10, 20}));
    EXPECT_EQ(read["shapes"].toArray().size(), 4);
    EXPECT_EQ(read["records"].toArray().size(), 4);
    const QString dump = IndependentReaders::shpdumpValidate(dir.filePath("out.shp"));
    EXPECT_TRUE(dump.contains("# of Shapes: 4")) << dump.toStdString();
    EXPECT_TRUE(dump.contains("0 object has invalid ring orderings")) << dump.toStdString();
}

struct LimitCase {
    const char* name;
    ShapefileLimits limits;
    const char* file;
    const char* limit;
};

class ShapefileWriterLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(ShapefileWriterLimits, RefuseTheRecordThatWouldPassThem) {
    QTemporaryDir dir;
    const OutputSchema schema = oneField();
    ShapefileWriter writer(dir.filePath(".tmp"), dir.filePath("roads"), ShpType::Point, schema, 0,
                           GetParam().limits);
    const QByteArray point = record(ShpType::Point, {{{1, 2}}});
    append(writer, point);
    append(writer, point);
    try {
        append(writer, point);
        FAIL() << "no refusal";
    } catch (const ConfluxError& error) {
        EXPECT_EQ(error.description(), QStringLiteral("'%1' would exceed the %2 can hold")
                                           .arg(dir.filePath(GetParam().file), GetParam().limit));
    }
    EXPECT_EQ(writer.records(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Lowered, ShapefileWriterLimits,
    testing::Values(
        LimitCase{"Shapes", {100 + 2 * 28 + 10, 1 << 30, 100}, "roads.shp", "4 GB a shapefile"},
        LimitCase{
            "TableBytes", {1 << 30, 65 + 2 * 5 + 1 + 3, 100}, "roads.dbf", "2 GB a dBASE table"},
        LimitCase{"TableRecords", {1 << 30, 1 << 30, 2}, "roads.dbf", "2 records a dBASE table"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file size limit stands in for a full disk: the error names the file the user asked for,
// not the temporary being written, and says what the system said.
TEST(ShapefileWriter, WriteFailureNamesTheOutputAndTheSystemsCause) {
    QTemporaryDir dir;
    const QString expected =
        QStringLiteral("Cannot write '%1': %2")
            .arg(dir.filePath("roads.shp"), QString::fromLocal8Bit(std::strerror(EFBIG)));
    const int result = runInChild(60, [&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        const OutputSchema schema = oneField();
        const QByteArray line = record(ShpType::PolyLine, {ShapeBytes::Part(500, {1, 2})});
        try {
            ShapefileWriter writer(dir.filePath(".tmp"), dir.filePath("roads"), ShpType::PolyLine,
                                   schema, 0, {});
            for (int i = 0; i < 10000; ++i) {
                append(writer, line);
            }
            writer.finish();
        } catch (const ConfluxError& error) {
            return error.description() == expected ? 0 : 2;
        }
        return 3;
    });
    EXPECT_EQ(result, 0);
}

}  // namespace
