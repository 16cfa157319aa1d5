#include "formats/RowMapper.h"

#include <gtest/gtest.h>

namespace {

DbfTableHeader::Field field(const QByteArray& name, char type, int length, int decimals = 0) {
    DbfTableHeader::Field f;
    f.name = name;
    f.type = type;
    f.length = length;
    f.decimals = decimals;
    return f;
}

DbfTableHeader table(const QList<DbfTableHeader::Field>& fields) {
    DbfTableHeader header;
    header.fields = fields;
    qsizetype offset = 1;
    for (auto& f : header.fields) {
        f.offset = offset;
        offset += f.length;
    }
    header.recordLength = offset;
    return header;
}

TEST(RowMapper, CopiesMatchingRowsWholeAndConvertsTheRest) {
    const DbfTableHeader templ = table({field("NAME", 'C', 6), field("AREA", 'N', 8, 2),
                                        field("OK", 'L', 1), field("WHEN", 'D', 8)});
    const OutputSchema::Input t{&templ, "CP1251", false};
    const OutputSchema schema = OutputSchema::fromTemplate(t, "CP1251", {}, true);
    EXPECT_TRUE(RowMapper(schema, t, {}).copiesWholeRows());

    const DbfTableHeader other = table({field("when", 'C', 10), field("area", 'C', 7),
                                        field("name", 'C', 10), field("ok", 'C', 3)});
    RowMapper rows(schema, {&other, "CP1251", false}, {});
    EXPECT_FALSE(rows.copiesWholeRows());
    const QByteArray row = " 2024-01-31 12,345Station x yes";
    QByteArray out(schema.recordLength, 'x');
    RowChanges changes;
    rows.writeRecord(row.constData(), out.data(), changes);
    EXPECT_EQ(out, QByteArray(" Statio   12.35T20240131"));
    EXPECT_TRUE(changes.textShortened);
    EXPECT_TRUE(changes.numberRounded);
    EXPECT_FALSE(changes.numberTooWide || changes.notConvertible);

    const FieldValue area = rows.value(row.constData(), 1, changes);
    EXPECT_EQ(area.type, FieldValue::Type::Real);
    EXPECT_EQ(area.real, 12.35) << "every output rounds to the template's decimals alike";
    const FieldValue when = rows.value(row.constData(), 3, changes);
    EXPECT_EQ(when.type, FieldValue::Type::Date);
    EXPECT_EQ(when.text, QByteArrayView("2024-01-31"));
    EXPECT_EQ(rows.value(row.constData(), 2, changes).integer, 1);
    EXPECT_EQ(rows.value(nullptr, 0, changes).type, FieldValue::Type::Null);
}

// A value the output field's type has no place for is left empty, a number that loses digits
// is rounded, and each is noted, in a dBASE record and in a typed value alike; an integer
// field gets an integer, whatever the text looked like.
TEST(RowMapper, ValuesOfAnotherTypeAreLeftEmptyAndRoundedNumbersNoted) {
    const DbfTableHeader templ = table(
        {field("N", 'N', 10), field("R", 'N', 10, 2), field("OK", 'L', 1), field("DAY", 'D', 8)});
    const OutputSchema schema = OutputSchema::fromTemplate({&templ, {}, false}, {}, {}, true);
    struct Case {
        const char* name;
        const char* type;  // the input's type of the value, one per output field in turn
        QByteArray text;
        std::size_t field;
        bool notConvertible, rounded;
        FieldValue::Type typed;
        double number;
    };
    using T = FieldValue::Type;
    const Case cases[] = {
        {"text into an integer", "C", "abc", 0, true, false, T::Null, 0},
        {"an exponent into an integer", "C", "1e3", 0, false, false, T::Integer, 1000},
        {"a fraction into an integer", "C", "3,5", 0, false, true, T::Integer, 4},
        {"digits beyond the decimals", "N", "1.2345", 1, false, true, T::Real, 1.23},
        {"trailing zeros only", "N", "1.5000", 1, false, false, T::Real, 1.5},
        {"a logical into a number", "L", "T", 1, true, false, T::Null, 0},
        {"a date into a number", "D", "20240131", 0, true, false, T::Null, 0},
        {"text into a logical", "C", "maybe", 2, true, false, T::Null, 0},
        {"an unknown logical", "C", "?", 2, false, false, T::Null, 0},
        {"no date", "C", "2024-13-45", 3, true, false, T::Null, 0},
        {"blank", "C", "", 0, false, false, T::Null, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DbfTableHeader input =
            table({field(templ.fields[c.field].name, c.type[0], std::max<int>(c.text.size(), 1),
                         c.type[0] == 'N' ? 4 : 0)});
        RowMapper rows(schema, {&input, {}, false}, {});
        const QByteArray row = ' ' + c.text.leftJustified(input.recordLength - 1);
        QByteArray out(schema.recordLength, 'x');
        RowChanges written, typed;
        rows.writeRecord(row.constData(), out.data(), written);
        const FieldValue value = rows.value(row.constData(), c.field, typed);
        for (const RowChanges* changes : {&written, &typed}) {
            EXPECT_EQ(changes->notConvertible, c.notConvertible);
            EXPECT_EQ(changes->numberRounded, c.rounded);
        }
        EXPECT_EQ(value.type, c.typed);
        if (c.typed == T::Integer) {
            EXPECT_EQ(value.integer, c.number);
        } else if (c.typed == T::Real) {
            EXPECT_EQ(value.real, c.number);
        }
    }
}

TEST(RowMapper, NumbersThatDoNotFitAreLeftEmptyAndNoted) {
    const DbfTableHeader templ = table({field("N", 'N', 3)});
    const DbfTableHeader input = table({field("N", 'N', 10)});
    const OutputSchema schema = OutputSchema::fromTemplate({&templ, {}, false}, {}, {}, true);
    RowMapper rows(schema, {&input, {}, false}, {});
    QByteArray out(schema.recordLength, 'x');
    RowChanges changes;
    rows.writeRecord(QByteArray("      1234").prepend(' ').constData(), out.data(), changes);
    EXPECT_EQ(out, QByteArray("    "));
    EXPECT_TRUE(changes.numberTooWide);
}

}  // namespace
