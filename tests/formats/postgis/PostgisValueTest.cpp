// What a PostGIS column receives for each kind of field value the merge hands over.
#include "formats/postgis/PostgisOutput.h"

#include <gtest/gtest.h>

namespace {

FieldValue real(double number, const char* text) {
    FieldValue value;
    value.type = FieldValue::Type::Real;
    value.real = number;
    value.text = text;
    return value;
}

// Plain decimals go on as their digits, so a numeric column keeps all of them; anything else
// a table may hold in a number field is taken as the double it reads as.
TEST(PostgisValueTest, NumbersKeepTheirDigitsWhenPlainDecimals) {
    const struct {
        const char* name;
        const char* text;
        bool keptAsDigits;
    } cases[] = {
        {"padded negative", "  -12.50", true},
        {"twenty digits", "12345678901234567890", true},
        {"trailing point", "5.", true},
        {"leading point", ".5", true},
        {"plus sign", "+7", true},
        {"exponent", "1.5e3", false},
        {"lone point", ".", false},
        {"lone sign", "-", false},
        {"two points", "1.2.3", false},
        {"inner blank", "1 2", false},
        {"stars", "*****", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const TypedValue value = postgisValue(real(1.0, row.text));
        if (row.keptAsDigits) {
            ASSERT_TRUE(std::holds_alternative<DecimalValue>(value));
            EXPECT_EQ(std::get<DecimalValue>(value).ascii, row.text);
        } else {
            ASSERT_TRUE(std::holds_alternative<double>(value));
        }
    }
}

TEST(PostgisValueTest, DatesBooleansAndTextKeepTheirMeaning) {
    FieldValue date;
    date.type = FieldValue::Type::Date;
    date.text = "2024-02-29";
    const TypedValue day = postgisValue(date);
    ASSERT_TRUE(std::holds_alternative<DateValue>(day));
    EXPECT_EQ(std::get<DateValue>(day).year, 2024);
    EXPECT_EQ(std::get<DateValue>(day).month, 2);
    EXPECT_EQ(std::get<DateValue>(day).day, 29);

    FieldValue truth;
    truth.type = FieldValue::Type::Boolean;
    truth.integer = 1;
    EXPECT_EQ(std::get<bool>(postgisValue(truth)), true);

    FieldValue text;
    text.type = FieldValue::Type::Text;
    text.text = "Улица";
    EXPECT_EQ(std::get<TextValue>(postgisValue(text)).utf8, "Улица");

    EXPECT_TRUE(std::holds_alternative<std::monostate>(postgisValue(FieldValue{})));
}

}  // namespace
