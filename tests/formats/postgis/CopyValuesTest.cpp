// Decimal numbers and dates as COPY carries them. Their binary forms are checked against the
// server in the writer's tests.
#include "formats/postgis/CopyRows.h"
#include "formats/postgis/DecimalNumber.h"

#include <gtest/gtest.h>

TEST(CopyValuesTest, DecimalsAreReadAndRoundedHalfAwayFromZero) {
    const struct {
        const char* name;
        const char* text;
        int scale;
        const char* expected;  // nullptr: not a number
        int integerDigits;
    } cases[] = {
        {"Padded", "   12.5  ", 2, "12.50", 2},
        {"RoundsUp", "12.345", 2, "12.35", 2},
        {"RoundsDown", "12.344", 2, "12.34", 2},
        {"NegativeRoundsAway", "-0.005", 2, "-0.01", 0},
        {"CarryIntoNewDigit", "999.96", 1, "1000.0", 4},
        {"CarryBelowOne", ".96", 1, "1.0", 1},
        {"NoNegativeZero", "-0.001", 2, "0.00", 0},
        {"PlusSign", "+7", 0, "7", 1},
        {"TrailingPoint", "5.", 0, "5", 1},
        {"LeadingZeros", "000120", 0, "120", 3},
        {"ZeroScaleRounds", "2.5", 0, "3", 1},
        {"Long", "123456789012345678901234.5", 1, "123456789012345678901234.5", 24},
        {"Stars", "*****", 2, nullptr, 0},
        {"Blank", "   ", 2, nullptr, 0},
        {"Exponent", "1e5", 0, nullptr, 0},
        {"TwoPoints", "1.2.3", 0, nullptr, 0},
        {"SignOnly", "-", 0, nullptr, 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        DecimalNumber number;
        ASSERT_EQ(number.assign(test.text, test.scale), test.expected != nullptr);
        if (test.expected) {
            std::string text;
            number.appendText(text);
            EXPECT_EQ(text, test.expected);
            EXPECT_EQ(number.integerDigits(), test.integerDigits);
        }
    }
}

TEST(CopyValuesTest, OnlyRealDatesExist) {
    const struct {
        int year, month, day;
        bool exists;
        std::int32_t days;
    } cases[] = {
        {2000, 1, 1, true, 0},    {1999, 12, 31, true, -1},      {2024, 2, 29, true, 8825},
        {2023, 2, 29, false, 0},  {1900, 2, 29, false, 0},       {2000, 2, 29, true, 59},
        {2023, 4, 31, false, 0},  {2023, 13, 1, false, 0},       {0, 1, 1, false, 0},
        {1, 1, 1, true, -730119}, {9999, 12, 31, true, 2921939},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::to_string(test.year) + "-" + std::to_string(test.month) + "-" +
                     std::to_string(test.day));
        std::int32_t days = 0;
        EXPECT_EQ(daysSince2000(test.year, test.month, test.day, days), test.exists);
        if (test.exists) {
            EXPECT_EQ(days, test.days);
        }
    }
}
