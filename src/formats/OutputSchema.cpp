#include "formats/OutputSchema.h"

#include "formats/DbfValue.h"
#include "formats/TextPlan.h"

#include <algorithm>

namespace {

constexpr int kDbfNameBytes = 10;
constexpr int kDbfTextLimit = 254;
constexpr int kDbfRecordLimit = 65535;
// A character of any code page the merge reads takes at most three bytes in UTF-8.
constexpr int kUtf8BytesPerByte = 3;

// Gives every field its dBASE name: the template's, recoded for a UTF-8 output and cut within
// 10 bytes at a character boundary; a name already taken (ignoring case) is cut further and
// numbered ("_1", "_2", ...), so every value keeps a field of its own.
void nameDbfFields(std::vector<OutputField>& fields, const QByteArray& codePage,
                   const QByteArray& templatePage) {
    const bool utf8 = codePage == "UTF-8";
    const QByteArray& namesPage = codePage.isEmpty() ? templatePage : codePage;
    QStringList taken;
    for (OutputField& field : fields) {
        const QByteArray base = utf8 && templatePage != "UTF-8"
                                    ? DbfValue::utf8Prefix(field.name.toUtf8(), kDbfNameBytes)
                                    : field.dbfName;
        QByteArray name = base;
        for (int n = 1; taken.contains(decodeText(name, namesPage), Qt::CaseInsensitive); ++n) {
            const QByteArray suffix = '_' + QByteArray::number(n);
            const qsizetype room = kDbfNameBytes - suffix.size();
            name = (utf8 ? DbfValue::utf8Prefix(base, room) : base.left(room)) + suffix;
        }
        field.dbfName = name;
        taken << decodeText(name, namesPage);
    }
}

// Column names of outputs without dBASE's limits: the whole name, numbered when taken.
void nameColumns(std::vector<OutputField>& fields) {
    QStringList taken;
    for (OutputField& field : fields) {
        QString name = field.name;
        for (int n = 1; taken.contains(name, Qt::CaseInsensitive); ++n) {
            name = QStringLiteral("%1_%2").arg(field.name).arg(n);
        }
        field.columnName = name;
        taken << name;
    }
}

// Widest text an input's field brings into text field `field`, in the output's units.
int incomingWidth(const DbfTableHeader::Field& source, bool recoded, bool dbf) {
    return source.type == 'C' && recoded && dbf ? source.length * kUtf8BytesPerByte : source.length;
}

// dBASE records hold at most 65535 bytes: widened fields give back what is too much.
void fitRecord(std::vector<OutputField>& fields) {
    int total = 1;
    for (const OutputField& field : fields) {
        total += field.width;
    }
    while (total > kDbfRecordLimit) {
        auto widest = std::max_element(fields.begin(), fields.end(), [](auto& a, auto& b) {
            return a.width - a.templateWidth < b.width - b.templateWidth;
        });
        const int giveBack =
            std::min(total - kDbfRecordLimit, widest->width - widest->templateWidth);
        if (giveBack <= 0) {
            break;  // the template's own layout; a valid table never exceeds it
        }
        widest->width -= giveBack;
        total -= giveBack;
    }
}

}  // namespace

OutputSchema OutputSchema::fromTemplate(const Input& templateTable, const QByteArray& codePage,
                                        const std::vector<Input>& inputs, bool dbf) {
    OutputSchema schema;
    schema.codePage = codePage;
    if (!templateTable.table) {
        return schema;
    }
    for (const DbfTableHeader::Field& field : templateTable.table->fields) {
        OutputField out;
        out.name = decodeText(field.name, templateTable.namesPage);
        out.dbfName = field.name;
        out.type = field.type;
        // Common readers take a dBASE text field's length from one byte: at most 254 there.
        out.width = out.templateWidth =
            dbf && field.type == 'C' ? std::min(field.length, kDbfTextLimit) : field.length;
        out.decimals = field.decimals;
        schema.fields.push_back(out);
    }
    nameDbfFields(schema.fields, codePage, templateTable.namesPage);
    nameColumns(schema.fields);
    const bool widen = !dbf || codePage == "UTF-8";
    std::vector<Input> sources = inputs;
    sources.push_back(templateTable);
    for (const Input& input : sources) {
        const std::vector<int> matched = widen ? schema.match(input) : std::vector<int>();
        for (std::size_t i = 0; i < matched.size(); ++i) {
            OutputField& field = schema.fields[i];
            if (matched[i] < 0 || field.type != 'C') {
                continue;
            }
            const int incoming = incomingWidth(input.table->fields[matched[i]], input.recoded, dbf);
            field.width = std::max(field.width, dbf ? std::min(incoming, kDbfTextLimit) : incoming);
        }
    }
    if (dbf) {
        fitRecord(schema.fields);
    }
    for (OutputField& field : schema.fields) {
        field.offset = schema.recordLength;
        schema.recordLength += field.width;
    }
    return schema;
}

std::vector<int> OutputSchema::match(const Input& input) const {
    std::vector<int> matched(fields.size(), -1);
    if (!input.table) {
        return matched;
    }
    QStringList names;
    for (const DbfTableHeader::Field& field : input.table->fields) {
        names << decodeText(field.name, input.namesPage);
    }
    for (std::size_t out = 0; out < fields.size(); ++out) {
        for (qsizetype in = 0; in < names.size(); ++in) {
            if (fields[out].name.compare(names[in], Qt::CaseInsensitive) == 0) {
                matched[out] = static_cast<int>(in);
                break;
            }
        }
    }
    return matched;
}
