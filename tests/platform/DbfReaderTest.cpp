#include "DbfFixture.h"

#include "platform/DbfReader.h"
#include "platform/TextEncoder.h"

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

TEST(DbfReader, BinaryIntegerFieldShowsItsNumberNotItsBytes) {
    DbfFixture table;
    table.fields = {{"ID", 'I', 4}};
    table.records = {{QByteArray("\xFE\xFF\xFF\xFF", 4)}};
    QTemporaryDir dir;
    DbfFixture::write(dir.filePath("ids.dbf"), table.bytes());
    const DbfReader reader(dir.filePath("ids.dbf"));
    ASSERT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.displayText(*reader.record(0), 0), "-2");
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

// Tables that GDAL, R's sf, PostGIS's loader, FoxPro and old dBASE III write; each used to
// show " - " in the grid.
TEST(DbfReader, ReadsTablesThatCommonWritersProduce) {
    DbfFixture noFields;
    noFields.records = {{}, {}, {}};
    DbfFixture oldTerminator = parcels();
    oldTerminator.terminator = 0x0A;
    DbfFixture longText;
    longText.fields = {{"ID", 'N', 4}, {"NOTE", 'C', 300}};
    longText.records = {{"1", QByteArray(290, 'z') + "end"}};
    // The header's first read is 4 KiB: tables that end right there and beyond it.
    const auto sized = [](int records) {
        DbfFixture table;
        table.fields = {{"NAME", 'C', 30}};
        table.records = QList<QList<QByteArray>>(records, {"sheet"});
        return table;
    };
    const ValidCase cases[] = {
        {"no fields: header of 33 bytes, records of one byte", noFields, 0, {}},
        {"exactly 4096 bytes", sized(130), 1, "sheet"},
        {"larger than the first read", sized(200), 1, "sheet"},
        {"field array ended by 0x0A", oldTerminator, 5, "True"},
        {"character field of 300", longText, 2, QString(290, QLatin1Char('z')) + "end"},
    };
    QTemporaryDir dir;
    for (const ValidCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("valid.dbf");
        DbfFixture::write(path, c.table.bytes());
        if (c.table.records.size() == 130) {
            ASSERT_EQ(c.table.bytes().size(), 4096);
        }
        const auto counts = DbfReader::readCounts(path);
        ASSERT_TRUE(counts);
        EXPECT_EQ(counts->fieldCount, c.fields);
        EXPECT_EQ(counts->recordCount, c.table.records.size());
        const DbfReader reader(path);
        ASSERT_TRUE(reader.isOpen()) << reader.errorString().toStdString();
        const auto last = reader.record(reader.recordCount() - 1);
        ASSERT_TRUE(last);
        const auto first = reader.record(0);
        if (c.fields > 0) {
            EXPECT_EQ(reader.displayText(*first, c.fields - 1), c.lastValue);
            EXPECT_EQ(reader.fields().last().length, c.table.fields.last().length);
        }
    }
}

TEST(DbfReader, MissingFileIsAnErrorNotACrash) {
    QTemporaryDir dir;
    const DbfReader reader(dir.filePath("absent.dbf"));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_TRUE(reader.errorString().contains("absent.dbf"));
    EXPECT_EQ(DbfReader::readCounts(dir.filePath("absent.dbf")), std::nullopt);
}

const QString kTown = QStringLiteral("Нижний Новгород");

QString firstName(const QString& path) {
    const DbfReader reader(path);
    const auto rec = reader.record(0);
    return rec ? reader.displayText(*rec, 0) : QStringLiteral("<unreadable>");
}

DbfFixture townTable(const char* codePage, quint8 languageDriver) {
    DbfFixture table;
    table.fields = {{"TOWN", 'C', 30}};
    table.records = {{TextEncoder(codePage).encode(kTown)}};
    table.languageDriver = languageDriver;
    return table;
}

// A .cpg beside the table (any letter case) wins over the language driver; without either the
// code page of Cyrillic text is guessed.
TEST(DbfReaderCodePage, TheDeclarationThatWinsDecidesTheText) {
    using Source = DbfReader::CodePageSource;
    const struct {
        const char* name;
        const char* codePage;  // of the text, and what the reader must find
        quint8 languageDriver;
        QByteArray cpg;
        Source source;
    } rows[] = {
        {"CP866 by language driver", "CP866", 0x65, {}, Source::LanguageDriver},
        {"CP1251 by language driver", "CP1251", 0xC9, {}, Source::LanguageDriver},
        {".CPG says 1251, the header CP866", "CP1251", 0x65, "ANSI 1251\r\n", Source::Cpg},
        {"undeclared CP1251", "CP1251", 0, {}, Source::Guessed},
        {"undeclared CP866", "CP866", 0, {}, Source::Guessed},
        {"undeclared KOI8-R", "KOI8-R", 0, {}, Source::Guessed},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("towns.dbf");
        DbfFixture::write(path, townTable(row.codePage, row.languageDriver).bytes());
        if (!row.cpg.isEmpty())
            DbfFixture::write(dir.filePath("towns.CPG"), row.cpg);
        const DbfReader reader(path);
        EXPECT_EQ(reader.codePage(), row.codePage);
        EXPECT_EQ(reader.codePageSource(), row.source);
        EXPECT_EQ(firstName(path), kTown);
    }
}

}  // namespace
