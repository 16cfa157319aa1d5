#pragma once

#include "discovery/WildcardMask.h"
#include "host/GeometryKind.h"

#include <QString>

#include <cstdint>

// Decides which inputs a merge takes: those whose name matches the feature mask and whose
// shape type belongs to the chosen geometry kind. An input of no kind is never taken.
class InputAdmission {
public:
    // `featureMask` is used with its surrounding blanks removed and upper-cased. Throws
    // ConfluxError(ErrorNumber::InvalidPattern) when it is no valid mask.
    InputAdmission(const QString& featureMask, GeometryKind chosenKind);

    bool admits(const QString& tableName, std::int32_t shapeType) const;

    // The chosen kind: the index of the first set option among `point`, `line`, `polygon`,
    // Point when none is set.
    static GeometryKind chosenKind(bool point, bool line, bool polygon);

private:
    WildcardMask m_mask;
    GeometryKind m_kind;
};
