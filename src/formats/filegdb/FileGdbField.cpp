#include "formats/filegdb/FileGdbField.h"

#include "formats/filegdb/FileGdbError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int kMostIntegerDigits = 9;  // every N(9,0) value fits 32 bits

}  // namespace

FileGdbField::FileGdbField(const TemplateField& field) : m_name(field.name) {
    switch (field.type) {
        case 'N':
            m_kind = field.decimals == 0 && field.width <= kMostIntegerDigits ? Kind::Integer
                                                                              : Kind::Real;
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
            m_kind = Kind::String;
            m_declaredWidth = std::max(field.width, 1);
            m_width = m_declaredWidth;
    }
}

std::unique_ptr<OGRFieldDefn> FileGdbField::definition(const QByteArray& name) const {
    static constexpr OGRFieldType kTypes[] = {OFTString, OFTInteger, OFTReal, OFTInteger, OFTDate};
    auto field = std::make_unique<OGRFieldDefn>(name.constData(), kTypes[static_cast<int>(m_kind)]);
    if (m_kind == Kind::String) {
        field->SetWidth(m_declaredWidth);
    } else if (m_kind == Kind::Boolean) {
        field->SetSubType(OFSTInt16);
    }
    return field;
}

void FileGdbField::refuse(const char* kind) const {
    static constexpr const char* kNames[] = {"String", "Integer", "Double", "SmallInteger", "Date"};
    throw FileGdbError(
        FileGdbFailure::Other,
        QStringLiteral("Field '%1' of type %2 cannot take %3")
            .arg(m_name, QLatin1String(kNames[static_cast<int>(m_kind)]), QLatin1String(kind)));
}

bool FileGdbField::set(OGRFeature& feature, int index, const TypedValue& value) {
    if (std::holds_alternative<std::monostate>(value)) {
        feature.SetFieldNull(index);
        return true;
    }
    switch (m_kind) {
        case Kind::String:
            if (const auto* text = std::get_if<TextValue>(&value)) {
                setText(feature, index, text->utf8);
                return true;
            }
            refuse("a value other than text");
        case Kind::Boolean:
            if (const bool* truth = std::get_if<bool>(&value)) {
                feature.SetField(index, *truth ? 1 : 0);
                return true;
            }
            refuse("a value other than a boolean");
        case Kind::Date:
            if (const auto* date = std::get_if<DateValue>(&value)) {
                if (isCalendarDate(*date)) {
                    feature.SetField(index, date->year, date->month, date->day);
                } else {
                    feature.SetFieldNull(index);
                }
                return true;
            }
            refuse("a value other than a date");
        case Kind::Integer:
            return setInteger(feature, index, value);
        case Kind::Real:
            setReal(feature, index, value);
            return true;
    }
    return true;
}

void FileGdbField::setText(OGRFeature& feature, int index, std::string_view utf8) {
    utf8 = utf8.substr(0, utf8.find('\0'));
    m_width = std::max(m_width, utf8Characters(utf8));
    m_text.assign(utf8);
    feature.SetField(index, m_text.c_str());
}

bool FileGdbField::setInteger(OGRFeature& feature, int index, const TypedValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        if (*integer < std::numeric_limits<std::int32_t>::min() ||
            *integer > std::numeric_limits<std::int32_t>::max()) {
            feature.SetFieldNull(index);
            return false;
        }
        feature.SetField(index, static_cast<int>(*integer));
        return true;
    }
    const std::optional<double> number = numberOf(value);
    if (!number) {
        feature.SetFieldNull(index);
        return true;
    }
    const double rounded = std::round(*number);  // half away from zero, as dBASE rounds
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        feature.SetFieldNull(index);
        return false;
    }
    feature.SetField(index, static_cast<int>(rounded));
    return true;
}

void FileGdbField::setReal(OGRFeature& feature, int index, const TypedValue& value) {
    const std::optional<double> number = numberOf(value);
    if (number) {
        feature.SetField(index, *number);
    } else {
        feature.SetFieldNull(index);
    }
}

std::optional<double> FileGdbField::numberOf(const TypedValue& value) const {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return static_cast<double>(*integer);
    }
    if (const double* real = std::get_if<double>(&value)) {
        return std::isfinite(*real) ? std::optional<double>(*real) : std::nullopt;
    }
    if (const auto* decimal = std::get_if<DecimalValue>(&value)) {
        return decimalAsDouble(decimal->ascii);
    }
    refuse("a value other than a number");
}
