#include "formats/postgis/PostgisColumn.h"

#include "formats/postgis/PostgisError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {
constexpr int kMaxPrecision = 1000;  // the server's limit for a numeric's declared precision

std::string_view beforeNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

int characters(std::string_view utf8) {
    return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
}  // namespace

PostgisColumn::PostgisColumn(const PostgisField& field) : m_name(field.name) {
    switch (field.type) {
        case 'N':
            if (field.decimals > 0) {
                m_kind = Kind::Numeric;
                m_precision =
                    std::clamp(std::max(field.width, field.decimals + 1), 1, kMaxPrecision);
                m_scale = std::min(field.decimals, m_precision);
            } else if (field.width <= 9) {
                m_kind = Kind::Integer;
            } else if (field.width <= 18) {
                m_kind = Kind::BigInt;
            } else {
                m_kind = Kind::Numeric;
                m_precision = std::min(field.width, kMaxPrecision);
            }
            break;
        case 'F':
            m_kind = Kind::Real;
            break;
        case 'L':
            m_kind = Kind::Boolean;
            break;
        case 'D':
            m_kind = Kind::Date;
            break;
        default:
            m_kind = Kind::Text;
            m_length = std::max(field.width, 1);
    }
}

QByteArray PostgisColumn::sqlType() const {
    switch (m_kind) {
        case Kind::Text:
            return "varchar(" + QByteArray::number(m_length) + ')';
        case Kind::Integer:
            return "integer";
        case Kind::BigInt:
            return "bigint";
        case Kind::Numeric:
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

void PostgisColumn::refuse(const char* kind) const {
    throw PostgisError(PostgisFailure::Other,
                       QStringLiteral("Field '%1' of type %2 cannot take %3")
                           .arg(m_name, QString::fromLatin1(sqlType()), QLatin1String(kind)));
}

bool PostgisColumn::take(const PostgisValue& value) {
    m_held = Held::Null;
    if (std::holds_alternative<std::monostate>(value)) {
        return false;
    }
    switch (m_kind) {
        case Kind::Text:
            if (const auto* text = std::get_if<PostgisText>(&value)) {
                return takeText(text->utf8);
            }
            refuse("a value other than text");
        case Kind::Boolean:
            if (const bool* truth = std::get_if<bool>(&value)) {
                m_held = Held::Boolean;
                m_boolean = *truth;
                return false;
            }
            refuse("a value other than a boolean");
        case Kind::Date:
            if (const auto* date = std::get_if<PostgisDate>(&value)) {
                std::int32_t days = 0;
                if (daysSince2000(date->year, date->month, date->day, days)) {
                    m_held = Held::Date;
                    m_date = *date;
                }
                return false;
            }
            refuse("a value other than a date");
        default:
            return takeNumber(value);
    }
}

bool PostgisColumn::takeText(std::string_view utf8) {
    m_held = Held::Text;
    m_text = beforeNul(utf8);
    const int length = characters(m_text);
    if (length <= m_length) {
        return false;
    }
    m_length = length;
    return true;
}

bool PostgisColumn::takeNumber(const PostgisValue& value) {
    const std::int64_t* integer = std::get_if<std::int64_t>(&value);
    const double* real = std::get_if<double>(&value);
    const auto* decimal = std::get_if<PostgisDecimal>(&value);
    if (!integer && !real && !decimal) {
        refuse("a value other than a number");
    }
    if (m_kind == Kind::Real) {
        if (decimal) {
            const std::string_view text = trimmed(decimal->ascii);
            const auto parsed = std::from_chars(text.data(), text.data() + text.size(), m_real);
            if (text.empty() || parsed.ec != std::errc() ||
                parsed.ptr != text.data() + text.size()) {
                return false;  // blank or unreadable: no value
            }
        } else {
            m_real = integer ? static_cast<double>(*integer) : *real;
        }
        m_held = Held::Real;
        return false;
    }
    if (integer && m_kind != Kind::Numeric) {
        return takeInteger(*integer);
    }
    const bool read = integer ? (m_decimal.assign(*integer, m_scale), true)
                      : real  ? m_decimal.assign(*real, m_scale)
                              : m_decimal.assign(decimal->ascii, m_scale);
    return read && takeDecimal();
}

bool PostgisColumn::takeInteger(std::int64_t value) {
    m_held = Held::Integer;
    m_integer = value;
    if (m_kind == Kind::Integer && (value < std::numeric_limits<std::int32_t>::min() ||
                                    value > std::numeric_limits<std::int32_t>::max())) {
        m_kind = Kind::BigInt;
        return true;
    }
    return false;
}

bool PostgisColumn::takeDecimal() {
    if (m_kind != Kind::Numeric) {
        // A whole number for an integer column: as an integer when 18 digits hold it.
        if (m_decimal.integerDigits() <= 18) {
            std::int64_t value = 0;
            std::string text;
            m_decimal.appendText(text);
            std::from_chars(text.data(), text.data() + text.size(), value);
            return takeInteger(value);
        }
        m_kind = Kind::Numeric;
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
            rows.integer(m_integer, m_kind == Kind::BigInt);
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
