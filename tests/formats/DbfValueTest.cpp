#include "formats/DbfValue.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    const char* name;
    const char* text;
    int decimals;
    const char* written;  // nullptr: no number
};

class DbfNumbers : public testing::TestWithParam<NumberCase> {};

TEST_P(DbfNumbers, AreWrittenAsDecimalTextWithoutBinaryRounding) {
    const auto written = DbfValue::formatNumber(GetParam().text, GetParam().decimals);
    if (GetParam().written) {
        ASSERT_TRUE(written);
        EXPECT_EQ(*written, GetParam().written);
    } else {
        EXPECT_FALSE(written) << written->constData();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DbfNumbers,
    testing::Values(NumberCase{"MoreDecimals", "  1.5", 3, "1.500"},
                    NumberCase{"ManyDecimalsStayExact", "0.1", 15, "0.100000000000000"},
                    NumberCase{"RoundedHalfAwayFromZero", "-2.345", 2, "-2.35"},
                    NumberCase{"CarryIntoANewDigit", "999.96", 1, "1000.0"},
                    NumberCase{"NoDecimals", "12.5", 0, "13"},
                    NumberCase{"CommaAsPoint", "3,25", 1, "3.3"},
                    NumberCase{"PlusSignAndLeadingZeros", "+007", 0, "7"},
                    NumberCase{"NegativeZeroLosesItsSign", "-0.001", 2, "0.00"},
                    NumberCase{"Exponent", "1.5e3", 1, "1500.0"},
                    NumberCase{"Blank", "   ", 2, nullptr}, NumberCase{"Word", "many", 0, nullptr},
                    NumberCase{"StarsOfANullNumber", "*****", 0, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DbfValue, DatesLogicalsAndIntegers) {
    EXPECT_EQ(DbfValue::date("20240131"), QByteArray("20240131"));
    EXPECT_EQ(DbfValue::date(" 2024-01-31 "), QByteArray("20240131"));
    EXPECT_EQ(DbfValue::date("2024/13/01"), std::nullopt);
    EXPECT_EQ(DbfValue::date("        "), std::nullopt);
    EXPECT_EQ(DbfValue::logical("y"), 'T');
    EXPECT_EQ(DbfValue::logical("F"), 'F');
    EXPECT_EQ(DbfValue::logical("?"), '?');
    EXPECT_EQ(DbfValue::parseInteger(" -42 "), -42);
    EXPECT_EQ(DbfValue::parseInteger("4.2"), std::nullopt);
    EXPECT_EQ(DbfValue::parseNumber("4,25"), 4.25);
}

TEST(DbfValue, Utf8IsCutOnlyAtACharacterBoundary) {
    const QByteArray text = QString::fromUtf8("Ёлки").toUtf8();  // two bytes a letter
    EXPECT_EQ(DbfValue::utf8Prefix(text, 5), QString::fromUtf8("Ёл").toUtf8());
    EXPECT_EQ(DbfValue::utf8Prefix(text, 8), text);
}

}  // namespace
