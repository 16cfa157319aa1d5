#pragma once

#include "host/GeodataInterfaces.h"
#include "host/HostArray.h"
#include "merge/InputAdmission.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// The inputs a merge takes, gathered from the parallel input arrays.
struct AdmittedInputs {
    std::vector<qsizetype> indexes;     // into the input arrays, ascending
    std::shared_ptr<HostArray> tables;  // the admitted tables, in the same order
    std::int64_t totalRows = 0;         // their row counts added up, 64-bit
};

// Indexes of the inputs `admission` takes, over TableNames' entries. Throws
// SubscriptOutOfRange when ShapeTypes is shorter.
std::vector<qsizetype> admittedIndexes(const InputAdmission& admission,
                                       const QStringList& TableNames,
                                       const std::vector<std::int32_t>& ShapeTypes);

// The admitted entries of TablesArray with their row total (each table counted by the host, no
// filter). Throws ObjectNotSet for an admitted entry holding nothing, SubscriptOutOfRange when
// TableNames or ShapeTypes is shorter than TablesArray.
AdmittedInputs admitTables(const InputAdmission& admission,
                           const std::vector<std::shared_ptr<ITable>>& TablesArray,
                           const QStringList& TableNames,
                           const std::vector<std::int32_t>& ShapeTypes);
