#include "discovery/StringUtils.h"

#include <gtest/gtest.h>

#include <random>

// Readable failure output.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

QStringList list(std::initializer_list<const char*> items) {
    QStringList result;
    for (const char* item : items)
        result.append(QString::fromUtf8(item));
    return result;
}

struct SortCase {
    const char* label;
    QStringList input;
    bool textComp;
    QStringList expected;
};

void PrintTo(const SortCase& row, std::ostream* out) {
    *out << row.label;
}

class ASortTable : public ::testing::TestWithParam<SortCase> {};

TEST_P(ASortTable, SortsAscendingAndStable) {
    QStringList values = GetParam().input;
    EXPECT_TRUE(aSort(values, 0, GetParam().textComp));
    EXPECT_EQ(values, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ASortTable,
    ::testing::Values(
        SortCase{"IgnoringCase", list({"B", "a", "C"}), true, list({"a", "B", "C"})},
        SortCase{"ByCharacterCodes", list({"B", "a", "C"}), false, list({"B", "C", "a"})},
        SortCase{"EqualIgnoringCaseKeepOrder", list({"b", "A", "a"}), true, list({"A", "a", "b"})},
        SortCase{"EqualIgnoringCaseKeepOrderReversed", list({"b", "a", "A"}), true,
                 list({"a", "A", "b"})},
        SortCase{"CyrillicIgnoringCase", list({"в", "Б", "а"}), true, list({"а", "Б", "в"})},
        SortCase{"CyrillicByCodesUpperFirst", list({"б", "Б", "а"}), false, list({"Б", "а", "б"})},
        SortCase{"OneElement", list({"x"}), true, list({"x"})},
        SortCase{"Empty", QStringList(), true, QStringList()},
        SortCase{"EmptyTextsFirst", list({"b", "", "a"}), true, list({"", "a", "b"})}),
    [](const auto& info) { return std::string(info.param.label); });

// The result must be the one of the exchange sort it replaces, on any input.
TEST(ASort, AgreesWithExchangeSortOnRandomLists) {
    std::mt19937 random(7);
    const QStringList alphabet = list({"a", "A", "b", "B", "ж", "Ж", "1", ""});
    for (int round = 0; round < 50; ++round) {
        QStringList values;
        for (int i = 0; i < 30; ++i)
            values.append(alphabet[random() % alphabet.size()] + alphabet[random() % 4]);
        for (const bool textComp : {true, false}) {
            QStringList expected = values;
            for (qsizetype i = 1; i < expected.size(); ++i) {
                for (qsizetype j = expected.size() - 1; j >= i; --j) {
                    const QString a = textComp ? expected[j - 1].toUpper() : expected[j - 1];
                    const QString b = textComp ? expected[j].toUpper() : expected[j];
                    if (a > b)
                        expected.swapItemsAt(j - 1, j);
                }
            }
            QStringList actual = values;
            aSort(actual, 0, textComp);
            ASSERT_EQ(actual, expected) << "round " << round << " textComp " << textComp;
        }
    }
}

TEST(UnicArray, KeepsFirstOccurrencesExactly) {
    EXPECT_EQ(UnicArray(list({"x", "y", "x", "Y", "y"})), list({"x", "y", "Y"}));
    EXPECT_EQ(UnicArray(list({"Roads", "ROADS"})), list({"Roads", "ROADS"}));
}

TEST(UnicArray, EmptyInputGivesNothingButOneEmptyEntryStays) {
    EXPECT_FALSE(UnicArray(QStringList()).has_value());
    EXPECT_EQ(UnicArray(QStringList{QString()}), QStringList{QString()});
    // A null entry and an empty text are the same value.
    EXPECT_EQ(UnicArray(QStringList{QString(), QStringLiteral("")})->size(), 1);
}

struct TranCase {
    const char* label;
    const char* search;
    const char* text;
    const char* replacement;
    const char* expected;
};

void PrintTo(const TranCase& row, std::ostream* out) {
    *out << row.label;
}

class StrTranTable : public ::testing::TestWithParam<TranCase> {};

TEST_P(StrTranTable, ReplacesLeftToRightWithoutOverlap) {
    const TranCase& row = GetParam();
    EXPECT_EQ(StrTran(QString::fromUtf8(row.search), QString::fromUtf8(row.text),
                      QString::fromUtf8(row.replacement)),
              QString::fromUtf8(row.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, StrTranTable,
                         ::testing::Values(TranCase{"DoublesBackslashes", "\\", "C:\\Data\\Roads",
                                                    "\\\\", "C:\\\\Data\\\\Roads"},
                                           TranCase{"RemovesStars", "*", "ab*c*", "", "abc"},
                                           TranCase{"NonOverlapping", "aa", "aaa", "b", "ba"},
                                           TranCase{"EmptyText", "x", "", "y", ""},
                                           TranCase{"EmptySearchUnchanged", "", "abc", "y", "abc"},
                                           TranCase{"CaseSensitive", "a", "aA", "x", "xA"},
                                           TranCase{"ReplacementNotSearchedAgain", "a", "aa", "aa",
                                                    "aaaa"},
                                           TranCase{"Cyrillic", "ы", "мысыр", "и", "мисир"},
                                           TranCase{"NotFound", "q", "abc", "x", "abc"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(StrTran, DefaultReplacementRemoves) {
    EXPECT_EQ(StrTran(QStringLiteral("?"), QStringLiteral("r?ad?")), QStringLiteral("rad"));
}

}  // namespace
