#include "merge/InputAdmission.h"

#include "discovery/GeometryKind.h"
#include "discovery/WildcardMask.h"

namespace {

[[noreturn]] void throwSubscript() {
    throw ConfluxError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
}

}  // namespace

std::vector<qsizetype> admitInputs(const QStringList& names,
                                   const std::vector<std::int32_t>& shapeTypes, const QString& mask,
                                   int kind) {
    const WildcardMask pattern(mask.trimmed());  // upper-cases both sides itself
    std::vector<qsizetype> admitted;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!pattern.matches(names[i]))
            continue;
        if (static_cast<std::size_t>(i) >= shapeTypes.size())
            throwSubscript();
        const auto inputKind = geometryKindOf(shapeTypes[static_cast<std::size_t>(i)]);
        if (inputKind && static_cast<int>(*inputKind) == kind)
            admitted.push_back(i);
    }
    return admitted;
}

AdmittedInputs admitTables(const std::vector<std::shared_ptr<ITable>>& TablesArray,
                           const QStringList& TableNames,
                           const std::vector<std::int32_t>& ShapeTypes, const QString& mask,
                           int kind) {
    if (TableNames.size() < static_cast<qsizetype>(TablesArray.size()))
        throwSubscript();
    AdmittedInputs result;
    result.tables = std::make_shared<HostArray>();
    const QStringList names = TableNames.mid(0, static_cast<qsizetype>(TablesArray.size()));
    result.indexes = admitInputs(names, ShapeTypes, mask, kind);
    for (const qsizetype i : result.indexes) {
        const auto& table = TablesArray[static_cast<std::size_t>(i)];
        if (!table) {
            throw ConfluxError(ErrorNumber::ObjectNotSet,
                               QStringLiteral("Object variable or With block variable not set"));
        }
        result.tables->Add(table);
        result.totalRows += table->RowCount();
    }
    return result;
}
