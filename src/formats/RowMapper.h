#pragma once

#include "formats/OutputSchema.h"
#include "platform/Utf8Recoder.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>
#include <vector>

// What became of one row's values on their way to the output.
struct RowChanges {
    bool textShortened = false;   // a text value was cut to fit its field
    bool numberTooWide = false;   // a number did not fit its field and was left empty
    bool notConvertible = false;  // a value of no meaning in its field's type was left empty
    bool numberRounded = false;   // a number lost digits to its field's decimals
};

// A day of the calendar.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// One output field's value, for outputs that take values rather than dBASE records.
struct FieldValue {
    enum class Type { Null, Integer, Real, Text, Date, Boolean };
    Type type = Type::Null;
    std::int64_t integer = 0;  // Integer; Boolean as 0 or 1
    double real = 0;
    // Text (UTF-8) and Date (YYYY-MM-DD); Integer and Real: the number as the table writes it,
    // every digit of it, for outputs that keep more than a double holds. Valid until the next row.
    QByteArrayView text;

    // Whether a field of dBASE type `fieldType` takes a value of this type (any takes Null).
    bool suits(char fieldType) const;
    // A Date's day; nullopt for a day the calendar lacks (a 30th of February).
    std::optional<CalendarDate> calendarDate() const;
    // The value of a field that suits N or F as a double; nullopt for an infinite one.
    std::optional<double> number() const;
};

// Maps the rows of one input's dBASE table to the output's fields, decided once per input:
// each output field takes the input field of its name, converted to the output's type, width
// and code page. Fields of the same type, width and decimals whose text needs no recoding are
// copied as bytes, and a row whose every field is copied so is copied whole.
class RowMapper {
public:
    // `input`: the input's table (null: no table, every value empty). `decodeFrom`: the code
    // page to recode its text from into the output's; empty keeps the bytes.
    RowMapper(const OutputSchema& schema, const OutputSchema::Input& input,
              const QByteArray& decodeFrom);

    bool copiesWholeRows() const { return m_wholeRows; }

    // Writes the output's dBASE record (deletion flag, then the fields) for `row` (nullptr:
    // an input record without a row, whose values are empty) into `out`.
    void writeRecord(const char* row, char* out, RowChanges& changes);
    // The value of output field `field` for `row` (nullptr as above), its type the one the
    // field declares: a number of an integer field is an Integer, rounded where it has to be.
    FieldValue value(const char* row, std::size_t field, RowChanges& changes);

private:
    struct Plan {
        const DbfTableHeader::Field* source = nullptr;  // null: the input has no such field
        bool asBytes = false;
    };
    QByteArrayView sourceText(const char* row, std::size_t field);
    void writeField(const char* row, std::size_t field, char* out, RowChanges& changes);
    void writeText(const char* row, std::size_t field, char* out, RowChanges& changes);
    FieldValue numberValue(QByteArrayView text, std::size_t field, RowChanges& changes);

    const OutputSchema& m_schema;
    std::vector<Plan> m_plans;
    std::optional<Utf8Recoder> m_recoder;
    bool m_wholeRows = false;
    std::vector<QByteArray> m_scratch;  // per field: text recoded, numbers formatted
};
