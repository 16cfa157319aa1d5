#pragma once

#include "host/GeodataInterfaces.h"
#include "host/HostArray.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// Which inputs a merge takes: those whose name matches the mask and whose geometry kind is the
// chosen one.

// Indexes of the inputs (ascending) whose name matches `mask` (blanks around it removed, both
// sides upper-cased) and whose shape type belongs to `kind` (0 point, 1 line, 2 polygon); an
// input of no kind is never admitted. Throws ConfluxError for an invalid mask, and
// SubscriptOutOfRange when shapeTypes is shorter than names.
std::vector<qsizetype> admitInputs(const QStringList& names,
                                   const std::vector<std::int32_t>& shapeTypes, const QString& mask,
                                   int kind);

struct AdmittedInputs {
    std::vector<qsizetype> indexes;     // into the input arrays
    std::shared_ptr<HostArray> tables;  // the admitted tables, in input order
    std::int64_t totalRows = 0;         // their row counts added up
};

// admitInputs over TablesArray's entries, with the admitted tables and their row total (each
// counted by the host, no filter). Throws ObjectNotSet for an admitted entry holding nothing.
AdmittedInputs admitTables(const std::vector<std::shared_ptr<ITable>>& TablesArray,
                           const QStringList& TableNames,
                           const std::vector<std::int32_t>& ShapeTypes, const QString& mask,
                           int kind);
