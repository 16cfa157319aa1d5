#include "formats/RowMapper.h"

#include "formats/DbfValue.h"

#include <QString>

#include <cmath>
#include <cstring>

namespace {

bool isNumber(char type) {
    return type == 'N' || type == 'F';
}

// Bytes of one type can stand for the other's only when both store them alike.
bool sameStorage(const OutputField& out, const DbfTableHeader::Field& in, bool recoded) {
    if (out.type != in.type || out.width != in.length) {
        return false;
    }
    if (isNumber(out.type)) {
        return out.decimals == in.decimals;
    }
    return out.type != 'C' || !recoded;
}

char blankOf(char type) {
    return type == 'L' ? '?' : ' ';
}

// A logical from stored text; text that names none ("maybe", a number) is noted.
char logicalOf(QByteArrayView text, RowChanges& changes) {
    const char logical = DbfValue::logical(text);
    if (logical == '?' && !text.isEmpty() && text != "?") {
        changes.notConvertible = true;
    }
    return logical;
}

// A date from stored text (YYYYMMDD); text that names none is noted ("00000000" is how some
// writers leave a date empty).
std::optional<QByteArray> dateOf(QByteArrayView text, RowChanges& changes) {
    auto date = DbfValue::date(text);
    if (!date && !text.isEmpty() && text != "00000000") {
        changes.notConvertible = true;
    }
    return date;
}

// The integer nearest to `value`, half away from zero; nullopt beyond 64 bits.
std::optional<std::int64_t> nearestInteger(double value) {
    const double rounded = std::round(value);
    if (!(rounded > -9.2e18 && rounded < 9.2e18)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(rounded);
}

}  // namespace

bool FieldValue::suits(char fieldType) const {
    switch (type) {
        case Type::Null:
            return true;
        case Type::Integer:
        case Type::Real:
            return isNumber(fieldType);
        case Type::Text:
            return !isNumber(fieldType) && fieldType != 'L' && fieldType != 'D';
        case Type::Date:
            return fieldType == 'D';
        case Type::Boolean:
            return fieldType == 'L';
    }
    return false;
}

std::optional<CalendarDate> FieldValue::calendarDate() const {
    if (type != Type::Date || text.size() != 10) {
        return std::nullopt;
    }
    const CalendarDate date{text.first(4).toInt(), text.sliced(5, 2).toInt(),
                            text.sliced(8, 2).toInt()};
    if (!DbfValue::isCalendarDate(date.year, date.month, date.day)) {
        return std::nullopt;
    }
    return date;
}

std::optional<double> FieldValue::number() const {
    const double value = type == Type::Integer ? static_cast<double>(integer) : real;
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

RowMapper::RowMapper(const OutputSchema& schema, const OutputSchema::Input& input,
                     const QByteArray& decodeFrom)
    : m_schema(schema), m_plans(schema.fields.size()), m_scratch(schema.fields.size()) {
    if (!decodeFrom.isEmpty()) {
        m_recoder.emplace(decodeFrom);
    }
    const std::vector<int> matched = schema.match(input);
    bool whole = input.table && input.table->recordLength == schema.recordLength;
    for (std::size_t i = 0; i < matched.size(); ++i) {
        Plan& plan = m_plans[i];
        if (matched[i] >= 0) {
            plan.source = &input.table->fields[matched[i]];
            plan.asBytes = sameStorage(schema.fields[i], *plan.source, m_recoder.has_value());
        }
        whole = whole && plan.asBytes && plan.source->offset == schema.fields[i].offset;
    }
    m_wholeRows = whole;
}

// The source field's text as stored: text without its right padding, anything else trimmed.
QByteArrayView RowMapper::sourceText(const char* row, std::size_t field) {
    const DbfTableHeader::Field& source = *m_plans[field].source;
    const QByteArrayView stored(row + source.offset, source.length);
    return source.type == 'C' ? DbfValue::trimmedRight(stored) : DbfValue::trimmed(stored);
}

void RowMapper::writeRecord(const char* row, char* out, RowChanges& changes) {
    if (row && m_wholeRows) {
        std::memcpy(out, row, static_cast<std::size_t>(m_schema.recordLength));
        out[0] = ' ';
        return;
    }
    out[0] = ' ';
    for (std::size_t i = 0; i < m_plans.size(); ++i) {
        const OutputField& field = m_schema.fields[i];
        char* at = out + field.offset;
        if (!row || !m_plans[i].source) {
            std::memset(at, blankOf(field.type), static_cast<std::size_t>(field.width));
        } else if (m_plans[i].asBytes) {
            std::memcpy(at, row + m_plans[i].source->offset, static_cast<std::size_t>(field.width));
        } else {
            writeField(row, i, at, changes);
        }
    }
}

void RowMapper::writeText(const char* row, std::size_t field, char* out, RowChanges& changes) {
    const OutputField& target = m_schema.fields[field];
    QByteArrayView text = sourceText(row, field);
    if (m_recoder && m_plans[field].source->type == 'C') {
        QByteArray& recoded = m_scratch[field];
        recoded.resize(0);
        m_recoder->append(text, recoded);
        text = recoded;
    }
    if (text.size() > target.width) {
        changes.textShortened = true;
        text =
            text.first(m_schema.codePage == "UTF-8" ? DbfValue::utf8PrefixLength(text, target.width)
                                                    : target.width);
    }
    std::memcpy(out, text.data(), static_cast<std::size_t>(text.size()));
    std::memset(out + text.size(), ' ', static_cast<std::size_t>(target.width - text.size()));
}

void RowMapper::writeField(const char* row, std::size_t field, char* out, RowChanges& changes) {
    const OutputField& target = m_schema.fields[field];
    const char from = m_plans[field].source->type;
    const auto width = static_cast<std::size_t>(target.width);
    std::memset(out, blankOf(target.type), width);
    switch (target.type) {
        case 'C':
            writeText(row, field, out, changes);
            return;
        case 'N':
        case 'F': {
            const QByteArrayView text = sourceText(row, field);
            bool rounded = false;
            const auto number = from != 'C' && !isNumber(from)
                                    ? std::nullopt
                                    : DbfValue::formatNumber(text, target.decimals, &rounded);
            if (!number) {
                changes.notConvertible = changes.notConvertible || !text.isEmpty();
            } else if (static_cast<std::size_t>(number->size()) > width) {
                changes.numberTooWide = true;
            } else {
                changes.numberRounded = changes.numberRounded || rounded;
                std::memcpy(out + width - number->size(), number->constData(), number->size());
            }
            return;
        }
        case 'L':
            out[0] = logicalOf(sourceText(row, field), changes);
            return;
        case 'D':
            if (const auto date = dateOf(sourceText(row, field), changes)) {
                std::memcpy(out, date->constData(), std::min<std::size_t>(8, width));
            }
            return;
        default:
            return;  // another type is only ever copied as bytes
    }
}

// A number as its field stores it: an integer where the field holds one (a fraction or an
// exponent written in the text is rounded to it), else the number with the field's decimals.
FieldValue RowMapper::numberValue(QByteArrayView text, std::size_t field, RowChanges& changes) {
    const OutputField& target = m_schema.fields[field];
    QByteArray& scratch = m_scratch[field];
    FieldValue value;
    if (target.isInteger()) {
        if (const auto integer = DbfValue::parseInteger(text)) {
            value.type = FieldValue::Type::Integer;
            value.integer = *integer;
            value.text = text;
            return value;
        }
        const auto real = DbfValue::parseNumber(text);
        const auto integer = real ? nearestInteger(*real) : std::nullopt;
        if (!integer) {
            changes.notConvertible = changes.notConvertible || !real;
            changes.numberTooWide = changes.numberTooWide || real;
            return value;
        }
        changes.numberRounded = changes.numberRounded || double(*integer) != *real;
        scratch = QByteArray::number(*integer);
        value.type = FieldValue::Type::Integer;
        value.integer = *integer;
        value.text = scratch;
        return value;
    }
    bool rounded = false;
    const auto number = DbfValue::formatNumber(text, target.decimals, &rounded);
    const auto real = number ? DbfValue::parseNumber(*number) : std::nullopt;
    if (!real) {
        changes.notConvertible = true;
        return value;
    }
    changes.numberRounded = changes.numberRounded || rounded;
    scratch = *number;
    value.type = FieldValue::Type::Real;
    value.real = *real;
    value.text = scratch;
    return value;
}

FieldValue RowMapper::value(const char* row, std::size_t field, RowChanges& changes) {
    FieldValue value;
    if (!row || !m_plans[field].source) {
        return value;
    }
    const OutputField& target = m_schema.fields[field];
    const char from = m_plans[field].source->type;
    const QByteArrayView text = sourceText(row, field);
    QByteArray& scratch = m_scratch[field];
    switch (target.type) {
        case 'N':
        case 'F':
            if (text.isEmpty()) {
                return value;
            }
            if (from != 'C' && !isNumber(from)) {
                changes.notConvertible = true;
                return value;
            }
            return numberValue(text, field, changes);
        case 'L': {
            const char logical = logicalOf(text, changes);
            if (logical != '?') {
                value.type = FieldValue::Type::Boolean;
                value.integer = logical == 'T' ? 1 : 0;
            }
            return value;
        }
        case 'D':
            if (const auto date = dateOf(text, changes)) {
                scratch = date->left(4) + '-' + date->mid(4, 2) + '-' + date->mid(6, 2);
                value.type = FieldValue::Type::Date;
                value.text = scratch;
            }
            return value;
        default:
            break;
    }
    if (text.isEmpty()) {
        return value;
    }
    value.type = FieldValue::Type::Text;
    if (m_recoder && from == 'C') {
        scratch.resize(0);
        m_recoder->append(text, scratch);
        value.text = scratch;
    } else if (text.isValidUtf8()) {
        value.text = text;
    } else {
        scratch = QString::fromUtf8(text).toUtf8();
        value.text = scratch;
    }
    return value;
}
