#include "discovery/OutputName.h"
#include "discovery/ScanRoot.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(OutputNameTest, ProposalFromTheMasks) {
    struct Row {
        const char* name;
        QString fileMask, featureMask, expected;
    };
    const Row rows[] = {
        {"file mask wins", "road*", "river*", "road"},
        {"feature mask when the file mask is *", "*", "*_2005?", "_2005"},
        {"both * give Merge", "*", "*", "Merge"},
        {"empty file mask gives an empty name", "", "river*", ""},
        {"blanks stay, only * and ? go", " a b?* ", "*", " a b "},
        {"Cyrillic kept", QStringLiteral("дороги_??"), "*", QStringLiteral("дороги_")},
        {"a file mask of ** is not *", "**", "lakes", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(proposedOutputName(row.fileMask, row.featureMask), row.expected) << row.name;
}

TEST(ScanRootTest, RootAnswersAndResultText) {
    QTemporaryDir dir;
    EXPECT_TRUE(scanRootAnswers(dir.path()));
    EXPECT_TRUE(scanRootAnswers(QString())) << "an empty root passes; the scan finds nothing";
    EXPECT_FALSE(scanRootAnswers(dir.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(scanResultText(0), QStringLiteral("Файлов нет!"));
    EXPECT_EQ(scanResultText(40000), QStringLiteral("Выбрано: 40000 файл(ов)"));
}
