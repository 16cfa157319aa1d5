#include "merge/AdmittedInputs.h"

namespace {

[[noreturn]] void throwSubscript() {
    throw ConfluxError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
}

}  // namespace

std::vector<qsizetype> admittedIndexes(const InputAdmission& admission,
                                       const QStringList& TableNames,
                                       const std::vector<std::int32_t>& ShapeTypes) {
    if (ShapeTypes.size() < static_cast<std::size_t>(TableNames.size()))
        throwSubscript();
    std::vector<qsizetype> admitted;
    for (qsizetype i = 0; i < TableNames.size(); ++i) {
        if (admission.admits(TableNames[i], ShapeTypes[static_cast<std::size_t>(i)]))
            admitted.push_back(i);
    }
    return admitted;
}

AdmittedInputs admitTables(const InputAdmission& admission,
                           const std::vector<std::shared_ptr<ITable>>& TablesArray,
                           const QStringList& TableNames,
                           const std::vector<std::int32_t>& ShapeTypes) {
    const auto count = static_cast<qsizetype>(TablesArray.size());
    if (TableNames.size() < count)
        throwSubscript();
    AdmittedInputs result;
    result.tables = std::make_shared<HostArray>();
    result.indexes = admittedIndexes(admission, TableNames.mid(0, count), ShapeTypes);
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
