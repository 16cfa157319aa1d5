#include "discovery/InputNames.h"
#include "discovery/StringUtils.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The result must be the one of the exchange sort it replaces, on any input.
TEST(StringUtils, ASortAgreesWithAnExchangeSortOnRandomLists) {
    std::mt19937 random(7);
    const QStringList alphabet{"a", "A", "b", "B", "ж", "Ж", "1", ""};
    for (int round = 0; round < 50; ++round) {
        QStringList values;
        for (int i = 0; i < 30; ++i)
            values.append(alphabet[random() % alphabet.size()] + alphabet[random() % 4]);
        for (const bool textComp : {true, false}) {
            QStringList expected = values;
            const auto key = [textComp](const QString& s) { return textComp ? s.toUpper() : s; };
            for (qsizetype i = 1; i < expected.size(); ++i)
                for (qsizetype j = expected.size() - 1; j >= i; --j)
                    if (key(expected[j - 1]) > key(expected[j]))
                        expected.swapItemsAt(j - 1, j);
            QStringList actual = values;
            EXPECT_TRUE(aSort(actual, 0, textComp));
            ASSERT_EQ(actual, expected) << "round " << round << " textComp " << textComp;
        }
    }
}

TEST(StringUtils, UnicArrayKeepsFirstOccurrencesComparedExactly) {
    EXPECT_EQ(UnicArray({"x", "y", "x", "Y", "y"}), QStringList({"x", "y", "Y"}));
    EXPECT_EQ(UnicArray({QString(), ""}), QStringList{QString()}) << "null and empty are one";
    EXPECT_EQ(UnicArray({}), std::nullopt);
}

TEST(StringUtils, StrTranReplacesLeftToRightWithoutOverlap) {
    const struct {
        const char* name;
        const char* search;
        const char* text;
        const char* replacement;
        const char* result;
    } rows[] = {
        {"doubles backslashes", "\\", "C:\\Data\\Roads", "\\\\", "C:\\\\Data\\\\Roads"},
        {"no overlap", "aa", "aaa", "b", "ba"},
        {"replacement not searched again", "a", "aa", "aa", "aaaa"},
        {"case-sensitive", "a", "aA", "x", "xA"},
        {"empty search leaves the text", "", "abc", "y", "abc"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(StrTran(QString::fromUtf8(row.search), QString::fromUtf8(row.text),
                          QString::fromUtf8(row.replacement)),
                  QString::fromUtf8(row.result));
    }
    EXPECT_EQ(StrTran("?", "r?ad?"), "rad") << "the default replacement removes";
}

TEST(StringUtils, InputNamesByKindAreDistinctAndSortedIgnoringCase) {
    // Codes 1 and 2 are points, 3 and 13 lines, 4 polygons; 7 is no kind; "x" has no code.
    const auto lists =
        inputNamesByKind({"B", "c", "a", "D", "e", "f", "Roads", "ROADS", "Roads", "x"},
                         {1, 3, 2, 13, 4, 7, 3, 3, 13});
    EXPECT_EQ(lists[0], QStringList({"a", "B"}));
    EXPECT_EQ(lists[1], QStringList({"c", "D", "Roads", "ROADS"})) << "case variants both stay";
    EXPECT_EQ(lists[2], QStringList{"e"});
    EXPECT_EQ(inputNamesByKind({"r"}, {3})[0], QStringList{QString()}) << "a kind without inputs";
}

}  // namespace
