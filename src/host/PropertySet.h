#pragma once

#include "host/HostObject.h"

#include <QString>
#include <QVariant>

#include <map>

// Named values handed to a workspace factory ({"DATABASE": folder}). Names ignore case.
class PropertySet : public virtual HostObject {
public:
    void SetProperty(const QString& name, const QVariant& value);
    // The value set under `name`; an invalid QVariant when none was set.
    QVariant GetProperty(const QString& name) const;

private:
    std::map<QString, QVariant> m_values;  // keyed by the upper-cased name
};
