#include "formats/postgis/PostgisColumn.h"

#include "formats/DbfValue.h"
#include "formats/postgis/PostgisError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {
constexpr int kMaxPrecision = 1000;  // the server's limit for a numeric's declared precision
}  // namespace

PostgisColumn::PostgisColumn(const OutputField& field)
    : m_name(field.columnName), m_type(field.type), m_kind(field.kind()) {
    if (m_kind == Kind::Decimal) {
        m_precision = std::clamp(std::max(field.width, field.decimals + 1), 1, kMaxPrecision);
        m_scale = std::min(field.decimals, m_precision);
    } else if (m_kind == Kind::Text) {
        m_length = std::max(field.width, 1);
    }
}

QByteArray PostgisColumn::sqlType() const {
    switch (m_kind) {
        case Kind::Text:
            return "varchar(" + QByteArray::number(m_length) + ')';
        case Kind::Int32:
            return "integer";
        case Kind::Int64:
            return "bigint";
        case Kind::Decimal:
            return "numeric(" + QByteArray::number(m_precision) + ',' +
                   QByteArray::number(m_scale) + ')';
        case Kind::Real:
            return "double precision";
        case Kind::Boolean:
            return "boolean";
        case Kind::Date:
            return "date";
    }
    return {};
}

bool PostgisColumn::take(const FieldValue& value) {
    m_held = Held::Null;
    if (!value.suits(m_type)) {
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("Field '%1' of type %2 cannot take a value of another "
                                          "type")
                               .arg(m_name, QString::fromLatin1(sqlType())));
    }
    switch (value.type) {
        case FieldValue::Type::Null:
            return false;
        case FieldValue::Type::Text:
            return takeText(value.text);
        case FieldValue::Type::Boolean:
            m_held = Held::Boolean;
            m_boolean = value.integer != 0;
            return false;
        case FieldValue::Type::Date:
            if (const auto date = value.calendarDate()) {
                m_held = Held::Date;
                m_date = *date;
            }
            return false;
        default:
            return takeNumber(value);
    }
}

bool PostgisColumn::takeText(QByteArrayView utf8) {
    m_held = Held::Text;
    m_text = std::string_view(utf8.data(), static_cast<std::size_t>(utf8.size()));
    m_text = m_text.substr(0, m_text.find('\0'));
    const int length = DbfValue::utf8Characters(m_text);
    if (length <= m_length) {
        return false;
    }
    m_length = length;
    return true;
}

bool PostgisColumn::takeNumber(const FieldValue& value) {
    const bool integer = value.type == FieldValue::Type::Integer;
    if (m_kind == Kind::Real) {
        if (const auto number = value.number()) {
            m_real = *number;
            m_held = Held::Real;
        }
        return false;
    }
    if (integer && m_kind != Kind::Decimal) {
        return takeInteger(value.integer);
    }
    // Every digit the table wrote where it is a plain decimal ("  -12.50"), else the double.
    const bool read =
        integer ? (m_decimal.assign(value.integer, m_scale), true)
                : m_decimal.assign(std::string_view(value.text.data(),
                                                    static_cast<std::size_t>(value.text.size())),
                                   m_scale) ||
                      m_decimal.assign(value.real, m_scale);
    return read && takeDecimal();
}

bool PostgisColumn::takeInteger(std::int64_t value) {
    m_held = Held::Integer;
    m_integer = value;
    if (m_kind == Kind::Int32 && (value < std::numeric_limits<std::int32_t>::min() ||
                                  value > std::numeric_limits<std::int32_t>::max())) {
        m_kind = Kind::Int64;
        return true;
    }
    return false;
}

bool PostgisColumn::takeDecimal() {
    if (m_kind != Kind::Decimal) {
        // A whole number for an integer column: as an integer when 18 digits hold it.
        if (m_decimal.integerDigits() <= 18) {
            std::int64_t value = 0;
            std::string text;
            m_decimal.appendText(text);
            std::from_chars(text.data(), text.data() + text.size(), value);
            return takeInteger(value);
        }
        m_kind = Kind::Decimal;
        m_precision = 0;
    }
    m_held = Held::Numeric;
    const int needed = m_decimal.integerDigits() + m_scale;
    if (needed <= m_precision) {
        return false;
    }
    if (needed > kMaxPrecision) {
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("Field '%1' has a value of %2 digits, more than a "
                                          "numeric column can hold")
                               .arg(m_name)
                               .arg(needed));
    }
    m_precision = needed;
    return true;
}

void PostgisColumn::write(CopyRows& rows) const {
    switch (m_held) {
        case Held::Null:
            rows.null();
            break;
        case Held::Text:
            rows.text(m_text);
            break;
        case Held::Integer:
            rows.integer(m_integer, m_kind == Kind::Int64);
            break;
        case Held::Numeric:
            rows.numeric(m_decimal);
            break;
        case Held::Real:
            rows.real(m_real);
            break;
        case Held::Boolean:
            rows.boolean(m_boolean);
            break;
        case Held::Date:
            rows.date(m_date.year, m_date.month, m_date.day);
            break;
    }
}
