// What the independent readers of tests/lossless do not see: how undeclared text is taken,
// flat shapes in an output with heights, and records the index points at wrongly.
#include "MergeTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using namespace ShapefileFixture;

// Undeclared CP1251 beside a UTF-8 input is recognised and recoded; where nothing is
// declared at all, the bytes pass through unchanged. Either way the text arrives as UTF-8.
TEST(MergeEngine, UndeclaredCyrillicTextArrivesAsUtf8) {
    const struct {
        const char* name;
        Encoding first, second;
        QByteArray outputCpg;  // empty: no .cpg
    } rows[] = {{"undeclared CP1251 beside UTF-8", {"CP1251"}, {"UTF-8", "UTF-8"}, "UTF-8"},
                {"nothing declared", {"UTF-8"}, {"UTF-8"}, {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const std::vector<Field> fields{{"NAME", 'C', 30}};
        const QString a =
            write(dir.path(), "a", "POINT", fields, {{"POINT (0 0)", {"Улица Ленина"}}}, row.first);
        const QString b =
            write(dir.path(), "b", "POINT", fields, {{"POINT (1 1)", {"Ёлки, щука"}}}, row.second);
        QDir().mkdir(dir.filePath("out"));
        MergeCall{{a, b}, dir.filePath("out"), "merged", 1}.run();
        EXPECT_EQ(bytesOf(dir.filePath("out/merged.cpg")), row.outputCpg);
        const QByteArray dbf = bytesOf(dir.filePath("out/merged.dbf"));
        EXPECT_EQ(dbf[29], '\0');
        EXPECT_TRUE(dbf.contains(QString("Улица Ленина").toUtf8()));
        EXPECT_TRUE(dbf.contains(QString("Ёлки, щука").toUtf8()));
    }
}

TEST(MergeEngine, FlatShapesGetZeroHeightsInAnOutputWithHeights) {
    QTemporaryDir dir;
    const QString flat =
        write(dir.path(), "flat", "LINESTRING", {}, {{"LINESTRING (0 0,1 1)", {}}});
    const QString withZ =
        write(dir.path(), "withz", "LINESTRING Z", {}, {{"LINESTRING Z (0 0 5,1 1 6)", {}}});
    MergeCall{{withZ, flat}, dir.path(), "merged", 3}.run();
    const ReadLayer out = read(dir.filePath("merged.shp"));
    ASSERT_EQ(out.features.size(), 2u);
    EXPECT_EQ(out.features[0].wkt, "LINESTRING Z (0 0 5,1 1 6)");
    EXPECT_EQ(out.features[1].wkt, "LINESTRING Z (0 0 0,1 1 0)");
}

// A record the index misplaces is counted as unreadable, never written as a null shape as if it
// had been read; the others are written.
TEST(MergeEngine, RecordsTheIndexMisplacesAreSkippedAndCounted) {
    const struct {
        const char* name;
        qint32 offset;  // in 16-bit words, of the second record
    } rows[] = {{"past the end of the file", 0x7F000000}, {"at the file header", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString a = write(dir.path(), "a", "POINT", {{"ID", 'N', 5}},
                                {{"POINT (1 1)", {"1"}}, {"POINT (2 2)", {"2"}}});
        QFile shx(dir.filePath("a.shx"));
        const qint32 offset = qToBigEndian(row.offset);
        ASSERT_TRUE(shx.open(QIODevice::ReadWrite) && shx.seek(108));
        ASSERT_EQ(shx.write(reinterpret_cast<const char*>(&offset), 4), 4);
        shx.close();
        MergeEngine engine;
        MergeCall({a}, dir.path(), "merged", 1).run(engine);
        EXPECT_EQ(engine.lastReport().featuresWritten, 1);
        EXPECT_EQ(engine.lastReport().unreadable, 1);
        EXPECT_EQ(read(dir.filePath("merged.shp")).features.size(), 1u);
    }
}

}  // namespace
