#include "merge/InputAdmission.h"

InputAdmission::InputAdmission(const QString& featureMask, GeometryKind chosenKind)
    : m_mask(featureMask.trimmed().toUpper()), m_kind(chosenKind) {}

bool InputAdmission::admits(const QString& tableName, std::int32_t shapeType) const {
    const auto kind = geometryKindOf(shapeType);
    return kind && *kind == m_kind && m_mask.matches(tableName.toUpper());
}

GeometryKind InputAdmission::chosenKind(bool point, bool line, bool polygon) {
    if (point) {
        return GeometryKind::Point;
    }
    if (line) {
        return GeometryKind::Line;
    }
    return polygon ? GeometryKind::Polygon : GeometryKind::Point;
}
