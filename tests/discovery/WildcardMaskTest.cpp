#include "discovery/WildcardMask.h"
#include "errors/ConfluxError.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const char* label;
    const char* name;
    const char* mask;
    bool expected;
};

void PrintTo(const MatchCase& row, std::ostream* out) {
    *out << row.label;
}

class WildcardMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardMatch, MatchesWholeNameAgainstWholeMask) {
    const MatchCase& row = GetParam();
    EXPECT_EQ(matchesMask(QString::fromUtf8(row.name), QString::fromUtf8(row.mask)), row.expected)
        << row.name << " against " << row.mask;
}

const MatchCase matchCases[] = {
    {"StarMatchesAnything", "roads.shp", "*", true},
    {"StarMatchesNothing", "", "*", true},
    {"EmptyMaskOnlyEmptyName", "a", "", false},
    {"EmptyMaskEmptyName", "", "", true},
    {"StarExtension", "roads.shp", "*.SHP", true},
    {"WholeNameNotPrefix", "roads.shp.bak", "*.shp", false},
    {"WholeNameNotSuffix", "xroads", "roads", false},
    {"CaseIgnoredLatin", "Roads", "rOADS", true},
    {"CaseIgnoredCyrillic", "дороги", "ДОРОГИ", true},
    {"CyrillicStar", "Дороги_2020", "дор*", true},
    {"CyrillicRange", "ж", "[а-я]", true},
    {"CyrillicRangeUpperName", "Ж", "[а-я]", true},
    {"QuestionOneChar", "ab", "a?", true},
    {"QuestionNotZeroChars", "a", "a?", false},
    {"QuestionCyrillic", "aщ", "a?", true},
    {"HashDigit", "r7", "r#", true},
    {"HashNotLetter", "rx", "r#", false},
    {"HashNotOtherScriptDigit", "r\u0663", "r#", false},
    {"ListMember", "b", "[abc]", true},
    {"ListNonMember", "d", "[abc]", false},
    {"Range", "m", "[a-z]", true},
    {"RangeOutside", "5", "[a-z]", false},
    {"TwoRanges", "7", "[a-c0-9]", true},
    {"NegatedList", "d", "[!abc]", true},
    {"NegatedListMember", "a", "[!abc]", false},
    {"NegatedRange", "5", "[!a-z]", true},
    {"BangLiteralOutside", "a!", "a!", true},
    {"BangLiteralNotFirst", "!", "[a!]", true},
    {"BangAloneIsLiteral", "!", "[!]", true},
    {"DashFirstLiteral", "-", "[-a]", true},
    {"DashLastLiteral", "-", "[a-]", true},
    {"DashAfterBangLiteral", "-", "[!-a]", false},
    {"StarInsideLiteral", "*", "[*]", true},
    {"StarInsideNotWildcard", "x", "[*]", false},
    {"QuestionInsideLiteral", "?", "[?]", true},
    {"HashInsideLiteral", "#", "[#]", true},
    {"HashInsideNotDigit", "1", "[#]", false},
    {"OpenBracketInsideLiteral", "[", "[[]", true},
    {"CloseBracketOutsideLiteral", "a]", "a]", true},
    {"EmptyListMatchesNothing", "ab", "a[]b", true},
    {"ListIsOneChar", "ab", "[ab]", false},
    {"StarBacktracks", "abcabd", "*ab?", true},
    {"StarsEachSide", "xx_roads_yy", "*roads*", true},
    {"ManyStarsFail", "aaaa", "*a*a*a*a*a*", false},
    {"ManyStarsPass", "aaaaa", "*a*a*a*a*a*", true},
    {"DotIsLiteral", "roadsXshp", "roads.shp", false},
};

INSTANTIATE_TEST_SUITE_P(Table, WildcardMatch, ::testing::ValuesIn(matchCases),
                         [](const ::testing::TestParamInfo<MatchCase>& info) {
                             return std::string(info.param.label);
                         });

class WildcardInvalid : public ::testing::TestWithParam<const char*> {};

TEST_P(WildcardInvalid, RaisesInvalidPatternNamingTheMask) {
    const QString mask = QString::fromUtf8(GetParam());
    try {
        WildcardMask compiled(mask);
        FAIL() << "accepted " << GetParam();
    } catch (const ConfluxError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPattern);
        EXPECT_TRUE(error.description().contains(mask)) << error.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, WildcardInvalid,
                         ::testing::Values("[abc", "*.[shp", "[", "ab[!", "[z-a]", "[9-0]"));

TEST(WildcardMask, CompiledMaskMatchesManyNames) {
    const WildcardMask mask(QStringLiteral("r[0-9]#*.shp"));
    EXPECT_EQ(mask.mask(), QStringLiteral("r[0-9]#*.shp"));
    EXPECT_TRUE(mask.matches(QStringLiteral("R12.SHP")));
    EXPECT_TRUE(mask.matches(QStringLiteral("r99_roads.shp")));
    EXPECT_FALSE(mask.matches(QStringLiteral("r1x.shp")));
}

// A backtracking matcher takes exponential time here; the test only has to finish.
TEST(WildcardMask, PathologicalMaskOnLongNameFinishes) {
    const WildcardMask mask(QStringLiteral("*a*a*a*a*a*a*a*a*b"));
    const QString longName(10000, QLatin1Char('a'));
    EXPECT_FALSE(mask.matches(longName));
    EXPECT_TRUE(mask.matches(longName + QLatin1Char('b')));
}

}  // namespace
