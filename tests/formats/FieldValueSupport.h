#pragma once

#include "formats/DbfValue.h"
#include "formats/OutputSchema.h"
#include "formats/RowMapper.h"
#include "formats/WkbTestSupport.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Values as RowMapper::value() gives them; texts view the caller's strings.
namespace Value {

inline const FieldValue null;

inline FieldValue of(FieldValue::Type type, std::string_view text = {}) {
    FieldValue value;
    value.type = type;
    value.text = QByteArrayView(text.data(), static_cast<qsizetype>(text.size()));
    return value;
}
inline FieldValue text(std::string_view utf8) {
    return of(FieldValue::Type::Text, utf8);
}
inline FieldValue integer(std::int64_t number) {
    FieldValue value = of(FieldValue::Type::Integer);
    value.integer = number;
    return value;
}
// A number as a table writes it ("  12.345"): its text and its double.
inline FieldValue number(std::string_view digits) {
    FieldValue value = of(FieldValue::Type::Real, digits);
    value.real = DbfValue::parseNumber(value.text).value_or(0);
    return value;
}
inline FieldValue boolean(bool truth) {
    FieldValue value = of(FieldValue::Type::Boolean);
    value.integer = truth ? 1 : 0;
    return value;
}
// `iso`: YYYY-MM-DD, which may name a day the calendar lacks, as a dBASE table may hold it.
inline FieldValue date(std::string_view iso) {
    return of(FieldValue::Type::Date, iso);
}

}  // namespace Value

// A feature as the writers take it: ISO WKB ("" for none) and its values.
struct Feature {
    std::string wkb;
    std::vector<FieldValue> values;
};

// `count` squares of side 10 on a grid of 50 columns, 20 apart, without values.
inline std::vector<Feature> squares(int count) {
    std::vector<Feature> features;
    for (int i = 0; i < count; ++i) {
        features.push_back({multiPolygonWkb((i % 50) * 20.0, (i / 50) * 20.0, 0, false), {}});
    }
    return features;
}

// A field of every dBASE kind, and rows of values for them: awkward text, a NUL, numbers that
// round, a decimal comma, an impossible date, blanks.
inline std::vector<OutputField> everyKindOfField() {
    return {OutputField::named("NAME", 'C', 30, 0),   OutputField::named("COUNT", 'N', 9, 0),
            OutputField::named("BIG", 'N', 15, 0),    OutputField::named("AREA", 'N', 10, 2),
            OutputField::named("RATIO", 'F', 19, 11), OutputField::named("FLAG", 'L', 1, 0),
            OutputField::named("DAY", 'D', 8, 0)};
}
inline constexpr std::string_view kCyrillic = "Улица Ленина, д. 5";
inline constexpr std::string_view kAwkward = "tab\there\nline\\back 'q' \"dq\"";
inline std::vector<Feature> everyKindOfValue() {
    const std::string square = multiPolygonWkb(0, 0, 0, false);
    return {
        {square,
         {Value::text(kCyrillic), Value::integer(-123456789), Value::integer(987654321012345),
          Value::number("  12.345"), Value::number("0.1"), Value::boolean(true),
          Value::date("2024-02-29")}},
        {square,
         {Value::text(kAwkward), Value::number(" 42"), Value::number("3.0"), Value::integer(7),
          Value::integer(-3), Value::boolean(false), Value::date("1900-03-01")}},
        {square,
         {Value::text(std::string_view("cut\0here", 8)), Value::number("41.5"), Value::number("-9"),
          Value::number("-0.005"), Value::number("1.5e3"), Value::null, Value::date("2023-02-30")}},
        {square,
         {Value::null, Value::null, Value::null, Value::number("1,5"), Value::null, Value::null,
          Value::null}}};
}
