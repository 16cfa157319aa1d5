#pragma once

#include "formats/TemplateField.h"
#include "formats/TypedValue.h"

#include <ogr_feature.h>

#include <QString>

#include <memory>
#include <optional>
#include <string>

// The feature-class field of one template field, and the conversion of values into it.
//
// dBASE types map to the geodatabase's: C -> String; N without decimals up to 9 digits ->
// Integer (32 bits); other N and F -> Double (the format as GDAL 3.6 writes it has no 64-bit
// integer and no decimal type; a double keeps 15 significant digits exactly); L ->
// SmallInteger 1 or 0 (the format has no boolean; a small integer keeps true, false and null
// apart and filters as "= 1"); D -> Date.
//
// A String field's width is the template's, grown to the longest text written (in
// characters): the format stores texts at their own length, and its width is a declaration
// that other programs enforce when they edit.
class FileGdbField {
public:
    explicit FileGdbField(const TemplateField& field);

    // The field to create, under `name` (GDAL may still launder it).
    std::unique_ptr<OGRFieldDefn> definition(const QByteArray& name) const;

    // Puts `value` into field `index` of `feature` (null for no value, an impossible date, a
    // blank or unreadable decimal). False when a number does not fit an Integer field; the
    // field is then null, as a dBASE field is left blank for a number too wide. Throws FileGdbError
    // for a value of a kind the field cannot take (text for a number, a number for a date).
    bool set(OGRFeature& feature, int index, const TypedValue& value);

    // The width a String field needs for what was written; 0 for other types.
    int neededWidth() const { return m_kind == Kind::String ? m_width : 0; }
    bool widened() const { return m_kind == Kind::String && m_width > m_declaredWidth; }
    const QString& templateName() const { return m_name; }

private:
    enum class Kind { String, Integer, Real, Boolean, Date };

    void setText(OGRFeature& feature, int index, std::string_view utf8);
    bool setInteger(OGRFeature& feature, int index, const TypedValue& value);
    void setReal(OGRFeature& feature, int index, const TypedValue& value);
    // The number a value holds; nullopt for none (blank, unreadable, infinite). Throws for a
    // value that is no number.
    std::optional<double> numberOf(const TypedValue& value) const;
    [[noreturn]] void refuse(const char* kind) const;

    QString m_name;
    Kind m_kind;
    int m_declaredWidth = 0;
    int m_width = 0;
    std::string m_text;  // the NUL-terminated copy GDAL's setter needs
};
