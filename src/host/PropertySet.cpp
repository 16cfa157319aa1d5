#include "host/PropertySet.h"

void PropertySet::SetProperty(const QString& name, const QVariant& value) {
    m_values[name.toUpper()] = value;
}

QVariant PropertySet::GetProperty(const QString& name) const {
    const auto found = m_values.find(name.toUpper());
    return found == m_values.end() ? QVariant() : found->second;
}
