#include "support/ChildProcess.h"
#include "support/ShapeBytes.h"

#include "errors/ConfluxError.h"
#include "formats/shapefile/ShapefileWriter.h"

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
