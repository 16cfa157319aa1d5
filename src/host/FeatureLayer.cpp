#include "host/FeatureLayer.h"

std::int64_t FeatureLayer::RowCount() const {
    const auto table = std::dynamic_pointer_cast<ITable>(m_featureClass);
    if (m_featureClass && table) {
        return table->RowCount();
    }
    if (m_featureClass) {
        return m_featureClass->FeatureCount();
    }
    throw ConfluxError(ErrorNumber::ObjectNotSet,
                       QStringLiteral("Object variable or With block variable not set"));
}
