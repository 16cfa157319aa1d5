#include "discovery/WildcardMask.h"
#include "errors/ConfluxError.h"
#include "platform/FileNameCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(WildcardMask, MatchesTheWholeNameAgainstTheWholeMask) {
    const struct {
        const char* name;
        const char* text;
        const char* mask;
        bool matches;
    } rows[] = {
        // clang-format off
        {"empty name", "", "*", true}, {"not a prefix", "roads.shp.bak", "*.shp", false},
        {"dot literal", "roadsXshp", "roads.shp", false},
        {"Cyrillic case", "дороги", "ДОРОГИ", true}, {"Cyrillic range", "Ж", "[а-я]", true},
        {"? one char", "aщ", "a?", true}, {"? not none", "a", "a?", false},
        {"# digit", "r7", "r#", true}, {"# ASCII only", "r\u0663", "r#", false},
        {"list", "b", "[abc]", true}, {"range", "m", "[a-z]", true},
        {"out of range", "5", "[a-z]", false}, {"negated", "d", "[!abc]", true},
        {"negated member", "a", "[!abc]", false}, {"! not first", "!", "[a!]", true},
        {"[!] literal", "!", "[!]", true}, {"- first", "-", "[-a]", true},
        {"- last", "-", "[a-]", true}, {"- after !", "-", "[!-a]", false},
        {"* in list", "x", "[*]", false}, {"# in list", "1", "[#]", false},
        {"[ in list", "[", "[[]", true}, {"[] empty text", "ab", "a[]b", true},
        {"list is one char", "ab", "[ab]", false}, {"* gives back", "abcabd", "*ab?", true},
        {"one a per *", "aaaa", "*a*a*a*a*a*", false},
        {"stray byte kept", "karta\xE9.shp", "karta\xE9*", true},
        {"stray bytes differ", "karta\xE8.shp", "KARTA\xE9*", false},
        {"stray byte by a small letter", "\xD0\xB4\xE9", "\xD0\x94\xE9", true}
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // Names and masks as the scan decodes them: a stray byte of a name stays itself.
        EXPECT_EQ(matchesMask(FileNameCodec::decode(row.text), FileNameCodec::decode(row.mask)),
                  row.matches);
    }
}

// The walk passes over a file by its bytes only when the name certainly does not match.
TEST(WildcardMask, ExcludesByBytesOnlyWhatCannotMatch) {
    const WildcardMask mask(QStringLiteral("roads*.shp"));
    EXPECT_TRUE(mask.excludes("roads.dbf"));
    EXPECT_TRUE(mask.excludes("roads.shx"));
    EXPECT_FALSE(mask.excludes("ROADS.SHP"));
    EXPECT_FALSE(mask.excludes("rivers.shp")) << "decided by matching, not by the bytes";
    // A long s upper-cases to an S: a tail that is not ASCII says nothing.
    EXPECT_FALSE(mask.excludes("roads.\xC5\xBFhp"));
    EXPECT_TRUE(mask.matches(QString::fromUtf8("roads.\xC5\xBFhp")));
    EXPECT_FALSE(WildcardMask(QStringLiteral("*.sh?")).excludes("roads.dbf"));
}

// A backtracking matcher takes exponential time here; the test only has to finish.
TEST(WildcardMask, ManyStarsOnALongNameDoNotBacktrack) {
    const WildcardMask mask(QStringLiteral("*a*a*a*a*a*a*a*a*b"));
    const QString longName(10000, QLatin1Char('a'));
    EXPECT_FALSE(mask.matches(longName));
    EXPECT_TRUE(mask.matches(longName + QLatin1Char('b')));
}

}  // namespace
