#pragma once

#include "platform/DbfTableHeader.h"
#include "shapefile/ShapeRecord.h"

#include <QByteArray>
#include <QString>

#include <vector>

// One attribute field of a merge's output, as the template declares it.
struct OutputField {
    QString name;           // the template's name as text: inputs' fields are matched against it
    QByteArray dbfName;     // in a dBASE header: the output's code page, at most 10 bytes, unique
    QString columnName;     // for outputs without dBASE's limits: the whole name, unique
    char type = 'C';        // the template's dBASE type: C, N, F, L, D, or another kept as is
    int width = 1;          // dBASE outputs: bytes; others: at least the characters any value has
    int decimals = 0;       // N and F only
    int templateWidth = 1;  // as the template declares it
    int offset = 1;         // in a dBASE record, which starts with its deletion flag

    // A field named `name` in every form (dBASE name as Latin-1), declared and written alike.
    static OutputField named(const QString& name, char type, int width, int decimals = 0) {
        OutputField field;
        field.name = field.columnName = name;
        field.dbfName = name.toLatin1();
        field.type = type;
        field.width = field.templateWidth = width;
        field.decimals = decimals;
        return field;
    }

    // Numbers without decimals narrow enough for a 64-bit integer (GDAL's reading too).
    bool isInteger() const { return type == 'N' && decimals == 0 && width < 19; }

    // What the field holds for outputs with typed columns: N without decimals in 32 bits (up
    // to 9 digits) or 64 bits (up to 18), other N as decimals, F as doubles; C, and a type of
    // no other kind, as text.
    enum class Kind { Text, Int32, Int64, Decimal, Real, Boolean, Date };
    Kind kind() const {
        switch (type) {
            case 'N':
                return !isInteger() ? Kind::Decimal : width <= 9 ? Kind::Int32 : Kind::Int64;
            case 'F':
                return Kind::Real;
            case 'L':
                return Kind::Boolean;
            case 'D':
                return Kind::Date;
            default:
                return Kind::Text;
        }
    }
};

// What a merge's output holds: the template's fields, the code page of its dBASE text, and its
// geometry (the template's kind, with the Z and M decided for it).
struct OutputSchema {
    std::vector<OutputField> fields;
    QByteArray codePage;  // "UTF-8", another code page, or empty: bytes pass, nothing declared
    int recordLength = 1;
    ShapeKind kind = ShapeKind::Null;
    bool hasZ = false;
    bool hasM = false;

    // One input's table as the schema sees it.
    struct Input {
        const DbfTableHeader* table = nullptr;  // null: the input has no readable table
        QByteArray namesPage;                   // the code page its field names are read in
        bool recoded = false;                   // its text is recoded into the output's page
    };

    // The template's fields for an output whose dBASE text is in `codePage`. `dbf`: the output
    // keeps dBASE's limits (10-byte names, text of at most 254 bytes, which is all that common
    // readers take, records of at most 65535); a UTF-8 dBASE output widens text fields so
    // recoded values fit. Other outputs get text widths that hold the widest value any input
    // can bring.
    static OutputSchema fromTemplate(const Input& templateTable, const QByteArray& codePage,
                                     const std::vector<Input>& inputs, bool dbf);

    // For each output field, the index of the field of `input` with its name (compared as text
    // in each file's code page, case ignored), or -1.
    std::vector<int> match(const Input& input) const;
};
