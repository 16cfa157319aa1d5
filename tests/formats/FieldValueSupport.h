#pragma once

#include "formats/DbfValue.h"
#include "formats/OutputSchema.h"
#include "formats/RowMapper.h"

#include <QString>

#include <cstdint>
#include <string_view>

// An output field as the writers take it, `name` its column name too.
inline OutputField outputField(const QString& name, char type, int width, int decimals = 0) {
    OutputField field;
    field.name = name;
    field.columnName = name;
    field.type = type;
    field.width = width;
    field.templateWidth = width;
    field.decimals = decimals;
    return field;
}

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
