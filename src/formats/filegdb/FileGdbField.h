#pragma once

#include "formats/OutputSchema.h"
#include "formats/RowMapper.h"

#include <ogr_feature.h>

#include <QString>

#include <memory>
#include <string>

// The feature-class field of one output field (named by its column name), and the conversion
// of values into it.
//
// The field's kind maps to the geodatabase's types: Text -> String; Int32 -> Integer; Int64,
// Decimal and Real -> Double (the format as GDAL 3.6 writes it has no 64-bit integer and no
// decimal type; a double keeps 15 significant digits exactly); Boolean -> SmallInteger 1 or 0
// (the format has no boolean; a small integer keeps true, false and null apart and filters as
// "= 1"); Date -> Date.
//
// A String field's width is the template's, grown to the longest text written (in
// characters): the format stores texts at their own length, and its width is a declaration
// that other programs enforce when they edit.
class FileGdbField {
public:
    explicit FileGdbField(const OutputField& field);

    // The field to create, under `name` (GDAL may still launder it).
    std::unique_ptr<OGRFieldDefn> definition(const QByteArray& name) const;

    // Puts `value` into field `index` of `feature` (null for no value, an impossible date, an
    // infinite number). False when a number does not fit an Integer field; the field is then
    // null, as a dBASE field is left blank for a number too wide. Throws FileGdbError for a
    // value of a type the field does not suit (text for a number, a number for a date).
    bool set(OGRFeature& feature, int index, const FieldValue& value);

    // The width a String field needs for what was written; 0 for other types.
    int neededWidth() const { return m_kind == Kind::Text ? m_width : 0; }
    bool widened() const { return m_kind == Kind::Text && m_width > m_declaredWidth; }

private:
    using Kind = OutputField::Kind;

    void setText(OGRFeature& feature, int index, QByteArrayView utf8);
    bool setInteger(OGRFeature& feature, int index, const FieldValue& value);

    QString m_name;
    char m_type;  // the field's dBASE type
    Kind m_kind;
    int m_declaredWidth = 0;
    int m_width = 0;
    std::string m_text;  // the NUL-terminated copy GDAL's setter needs
};
