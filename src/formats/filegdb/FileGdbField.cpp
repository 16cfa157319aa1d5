#include "formats/filegdb/FileGdbField.h"

#include "formats/DbfValue.h"
#include "formats/filegdb/FileGdbError.h"

#include <algorithm>
#include <cmath>
#include <limits>

FileGdbField::FileGdbField(const OutputField& field)
    : m_name(field.columnName), m_type(field.type), m_kind(field.kind()) {
    if (m_kind == Kind::Text) {
        m_declaredWidth = std::max(field.width, 1);
        m_width = m_declaredWidth;
    }
}

std::unique_ptr<OGRFieldDefn> FileGdbField::definition(const QByteArray& name) const {
    // By Kind: the format has no 64-bit integer nor decimal type (see the header).
    static constexpr OGRFieldType kTypes[] = {OFTString, OFTInteger, OFTReal, OFTReal,
                                              OFTReal,   OFTInteger, OFTDate};
    auto field = std::make_unique<OGRFieldDefn>(name.constData(), kTypes[static_cast<int>(m_kind)]);
    if (m_kind == Kind::Text) {
        field->SetWidth(m_declaredWidth);
    } else if (m_kind == Kind::Boolean) {
        field->SetSubType(OFSTInt16);
    }
    return field;
}

bool FileGdbField::set(OGRFeature& feature, int index, const FieldValue& value) {
    if (!value.suits(m_type)) {
        static constexpr const char* kNames[] = {"String", "Integer",      "Double", "Double",
                                                 "Double", "SmallInteger", "Date"};
        throw FileGdbError(FileGdbFailure::Other,
                           QStringLiteral("Field '%1' of type %2 cannot take a value of another "
                                          "type")
                               .arg(m_name, QLatin1String(kNames[static_cast<int>(m_kind)])));
    }
    switch (value.type) {
        case FieldValue::Type::Null:
            feature.SetFieldNull(index);
            return true;
        case FieldValue::Type::Text:
            setText(feature, index, value.text);
            return true;
        case FieldValue::Type::Boolean:
            feature.SetField(index, value.integer != 0 ? 1 : 0);
            return true;
        case FieldValue::Type::Date:
            if (const auto date = value.calendarDate()) {
                feature.SetField(index, date->year, date->month, date->day);
            } else {
                feature.SetFieldNull(index);
            }
            return true;
        default:
            break;
    }
    if (m_kind == Kind::Int32) {
        return setInteger(feature, index, value);
    }
    if (const auto number = value.number()) {
        feature.SetField(index, *number);
    } else {
        feature.SetFieldNull(index);
    }
    return true;
}

void FileGdbField::setText(OGRFeature& feature, int index, QByteArrayView utf8) {
    if (const qsizetype nul = utf8.indexOf('\0'); nul >= 0) {
        utf8.truncate(nul);
    }
    m_width = std::max(m_width, DbfValue::utf8Characters(utf8));
    m_text.assign(utf8.data(), static_cast<std::size_t>(utf8.size()));
    feature.SetField(index, m_text.c_str());
}

bool FileGdbField::setInteger(OGRFeature& feature, int index, const FieldValue& value) {
    const std::optional<double> number = value.number();
    if (value.type != FieldValue::Type::Integer && !number) {
        feature.SetFieldNull(index);
        return true;
    }
    // Half away from zero, as dBASE rounds.
    const double rounded = value.type == FieldValue::Type::Integer
                               ? static_cast<double>(value.integer)
                               : std::round(*number);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        feature.SetFieldNull(index);
        return false;
    }
    feature.SetField(index, static_cast<int>(rounded));
    return true;
}
