#pragma once

#include "formats/OutputSchema.h"
#include "formats/RowMapper.h"
#include "formats/postgis/CopyRows.h"
#include "formats/postgis/DecimalNumber.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string_view>

// The table column of one output field (named by its column name): its SQL type, which grows when a
// value needs more room than the template declares (a longer text, more integer digits), and the
// value of the row being written, converted for COPY.
//
// The field's kind maps to: Text -> varchar(n), Int32 -> integer, Int64 -> bigint, Decimal ->
// numeric(w,d); Real -> double precision; Boolean -> boolean; Date -> date. Growing a varchar's
// length or a numeric's precision never rewrites the table; an integer column that meets a larger
// value becomes bigint (or numeric), which does.
class PostgisColumn {
public:
    explicit PostgisColumn(const OutputField& field);

    QByteArray sqlType() const;
    // Converts `value` (its text valid until write()) for this column. True when the column's
    // type had to grow to take it: the table must get the new sqlType() before the row is
    // written. Throws PostgisError for a value of a type the field does not suit (text for a
    // number, a number for a date).
    bool take(const FieldValue& value);
    // Writes the value last taken.
    void write(CopyRows& rows) const;

private:
    using Kind = OutputField::Kind;
    enum class Held { Null, Text, Integer, Numeric, Real, Boolean, Date };

    bool takeText(QByteArrayView utf8);
    bool takeInteger(std::int64_t value);
    bool takeDecimal();
    bool takeNumber(const FieldValue& value);

    QString m_name;
    char m_type;  // the field's dBASE type
    Kind m_kind;
    int m_length = 0;     // varchar: characters
    int m_precision = 0;  // numeric
    int m_scale = 0;      // numeric
    Held m_held = Held::Null;
    std::string_view m_text;
    std::int64_t m_integer = 0;
    double m_real = 0;
    bool m_boolean = false;
    CalendarDate m_date;
    DecimalNumber m_decimal;
};
