#include "DbfFixture.h"

#include "platform/DbfReader.h"

#include <QDate>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

DbfFixture parcels() {
    DbfFixture table;
    table.fields = {{"NAME", 'C', 12},
                    {"AREA", 'N', 8, 2},
                    {"COUNT", 'N', 5},
                    {"SURVEYED", 'D', 8},
                    {"ACTIVE", 'L', 1}};
    table.records = {{"North", "12.50", "7", "20240131", "T"},
                     {"South", "", "-3", "", "?"},
                     {"Old", "1.00", "1", "20000101", "F"}};
    table.deleted = {false, false, true};
    return table;
}

TEST(DbfReader, ReadsHeaderFieldsAndTypedValues) {
    QTemporaryDir dir;
    const QString path = dir.filePath("parcels.dbf");
    DbfFixture::write(path, parcels().bytes());

    const DbfReader reader(path);
    ASSERT_TRUE(reader.isOpen()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.recordCount(), 3);
    ASSERT_EQ(reader.fieldCount(), 5);
    EXPECT_EQ(reader.fields()[1].name, "AREA");
    EXPECT_EQ(reader.fields()[1].type, 'N');
    EXPECT_EQ(reader.fields()[1].length, 8);
    EXPECT_EQ(reader.fields()[1].decimals, 2);

    const auto first = reader.record(0);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->deleted);
    const QStringList shown = {reader.displayText(*first, 0), reader.displayText(*first, 1),
                               reader.displayText(*first, 2), reader.displayText(*first, 3),
                               reader.displayText(*first, 4)};
    EXPECT_EQ(shown, QStringList({"North", "12.50", "7", "2024-01-31", "True"}));
    EXPECT_EQ(reader.value(*first, 1).toDouble(), 12.5);
    EXPECT_EQ(reader.value(*first, 2).toLongLong(), 7);
    EXPECT_EQ(reader.value(*first, 3).toDate(), QDate(2024, 1, 31));

    const auto second = reader.record(1);
    ASSERT_TRUE(second);
    EXPECT_TRUE(reader.value(*second, 1).isNull());
    EXPECT_EQ(reader.value(*second, 2).toLongLong(), -3);
    EXPECT_EQ(reader.displayText(*second, 3), "");
    EXPECT_EQ(reader.displayText(*second, 4), "");

    const auto third = reader.record(2);
    ASSERT_TRUE(third);
    EXPECT_TRUE(third->deleted);
    EXPECT_EQ(reader.displayText(*third, 4), "False");
    EXPECT_FALSE(reader.record(3));
    EXPECT_FALSE(reader.record(-1));

    EXPECT_EQ(DbfReader::readCounts(path)->recordCount, 3);
    EXPECT_EQ(DbfReader::readCounts(path)->fieldCount, 5);
}

TEST(DbfReader, RandomAccessAcrossBufferBlocks) {
    DbfFixture table;
    table.fields = {{"ID", 'N', 9}, {"PAD", 'C', 200}};
    for (int i = 0; i < 5000; ++i)
        table.records.append({QByteArray::number(i), "x"});
    QTemporaryDir dir;
    const QString path = dir.filePath("wide.dbf");
    DbfFixture::write(path, table.bytes());
    const DbfReader reader(path);
    ASSERT_TRUE(reader.isOpen());
    for (const qint64 index : {4999, 0, 327, 328, 2500, 4998})
        EXPECT_EQ(reader.value(*reader.record(index), 0).toLongLong(), index);
}

QByteArray withByte(QByteArray bytes, int at, char value) {
    bytes[at] = value;
    return bytes;
}

// Headers that disagree with themselves or with the file: refused, naming the file and why.
TEST(DbfReader, BrokenTableIsRefusedWithAMessageNamingTheFile) {
    const QByteArray good = parcels().bytes();
    DbfFixture none;
    none.records = {{}, {}};
    DbfFixture wide;
    wide.fields = {{"NOTE", 'C', 300}};
    wide.records = {{"x"}};
    const struct {
        const char* name;
        QByteArray bytes;
        const char* messagePart;
    } rows[] = {
        {"empty", QByteArray(), "truncated"},
        {"prefix cut", good.left(20), "truncated"},
        {"descriptors cut", good.left(100), "truncated"},
        {"not dBASE", withByte(good, 0, 'P'), "version"},
        {"no terminator", withByte(good, 32 + 5 * 32, 'X'), "0x0D"},
        {"record length wrong", withByte(good, 10, 40), "record length"},
        {"field of length 0", withByte(good, 32 + 16, 0), "length 0"},
        {"more records than the file holds", withByte(good, 4, 100), "declares 100 records"},
        {"header length too small", withByte(withByte(good, 8, 10), 9, 0), "too small"},
        {"no fields but longer records", withByte(none.bytes(), 10, 2), "record length"},
        {"header ends inside the descriptors", withByte(good, 8, 32 + 2 * 32 + 1), "0x0D"},
        {"long field disagrees with the record length", withByte(wide.bytes(), 32 + 17, 2),
         "record length"},  // says 556
    };
    QTemporaryDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath("broken.dbf");
        DbfFixture::write(path, row.bytes);
        const DbfReader reader(path);
        EXPECT_FALSE(reader.isOpen());
        EXPECT_EQ(reader.recordCount(), 0);
        EXPECT_EQ(reader.fieldCount(), 0);
        EXPECT_TRUE(reader.errorString().contains(path)) << reader.errorString().toStdString();
        EXPECT_TRUE(reader.errorString().contains(row.messagePart))
            << reader.errorString().toStdString();
        EXPECT_FALSE(reader.record(0));
        EXPECT_EQ(DbfReader::readCounts(path), std::nullopt);
    }
}

struct ValidCase {
    const char* name;
    DbfFixture table;
    qsizetype fields;
    QString lastValue;  // of the last field of the first record
};

TEST(DbfReader, MissingFileIsAnErrorNotACrash) {
    QTemporaryDir dir;
    const DbfReader reader(dir.filePath("absent.dbf"));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_TRUE(reader.errorString().contains("absent.dbf"));
    EXPECT_EQ(DbfReader::readCounts(dir.filePath("absent.dbf")), std::nullopt);
}

}  // namespace
