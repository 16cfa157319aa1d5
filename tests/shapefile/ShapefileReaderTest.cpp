#include "support/ChildProcess.h"
#include "support/ShapeBytes.h"

#include "errors/ConfluxError.h"
#include "formats/TextPlan.h"
#include "platform/DbfFixture.h"
#include "shapefile/ShapefileFiles.h"
#include "shapefile/ShapefileProbe.h"
#include "shapefile/ShapefileReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using ShapeBytes::record;

QString pointsWithTable(const QString& folder) {
    const QString base = QDir(folder).filePath("points");
    ShapeBytes::writeShapefile(
        base, ShpType::Point,
        {record(ShpType::Point, {{{1, 2}}}), record(ShpType::Point, {{{3, 4}}})});
    DbfFixture table;
    table.fields = {{"ID", 'N', 4}};
    table.records = {{"1"}, {"2"}};
    table.deleted = {false, true};
    table.languageDriver = 0xC9;
    DbfFixture::write(base + ".dbf", table.bytes());
    return base + ".shp";
}

TEST(ShapefileReader, ReadsRecordsWithTheirRows) {
    QTemporaryDir dir;
    ShapefileReader reader(pointsWithTable(dir.path()));
    EXPECT_EQ(reader.shapeType(), ShpType::Point);
    EXPECT_EQ(reader.recordCount(), 2);
    ASSERT_TRUE(reader.table());
    ShapefileReader::Block block;
    ASSERT_EQ(reader.next(block), ShapefileReader::Next::Block);
    ASSERT_EQ(block.count(), 2);
    EXPECT_EQ(block.shape(1).toByteArray(), record(ShpType::Point, {{{3, 4}}}));
    EXPECT_EQ(QByteArray(block.row(1), 5), QByteArray("*   2"));
    EXPECT_EQ(reader.next(block), ShapefileReader::Next::End);
}

// A named pipe in a companion's place would block an ordinary open forever; it counts as missing.
struct PipeCase {
    const char* name;
    const char* extension;
};

class CompanionPipe : public testing::TestWithParam<PipeCase> {};

TEST_P(CompanionPipe, CountsAsMissingWithoutWaiting) {
    QTemporaryDir dir;
    const QString shp = pointsWithTable(dir.path());
    const QString companion = dir.filePath(QStringLiteral("points.") + GetParam().extension);
    QFile::remove(companion);
    ASSERT_EQ(::mkfifo(QFile::encodeName(companion).constData(), 0600), 0);
    const QByteArray extension = GetParam().extension;
    const int result = runInChild(20, [&] {
        if (extension == "shx") {
            try {
                ShapefileReader reader(shp);
                return 2;
            } catch (const ConfluxError& error) {
                return error.description().contains("index") ? 0 : 3;
            }
        }
        if (extension == "dbf") {
            ShapefileReader reader(shp);
            return !reader.table() && reader.recordCount() == 2 ? 0 : 4;
        }
        // .cpg and .prj: the code page comes from the table, the .prj reads as absent.
        const auto probe = ShapefileProbe::open(shp);
        const bool cpgIgnored = probe->declaredCodePage() == QByteArray("CP1251") && !probe->prj();
        const bool prjAbsent = ShapefileFiles::sidecar(shp, QStringLiteral("prj")).isEmpty() &&
                               !ShapefileFiles::readRegularFile(companion, 10);
        return cpgIgnored && prjAbsent ? 0 : 5;
    });
    EXPECT_EQ(result, 0);
}

INSTANTIATE_TEST_SUITE_P(Companions, CompanionPipe,
                         testing::Values(PipeCase{"Index", "shx"}, PipeCase{"Table", "dbf"},
                                         PipeCase{"CodePage", "cpg"},
                                         PipeCase{"Projection", "prj"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
