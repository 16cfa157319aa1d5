#pragma once

#include "host/GeodataInterfaces.h"

#include <ogr_core.h>

#include <QString>

// One feature class of a File Geodatabase as a feature class and a table; opened on demand.
class FileGdbFeatureClass : public IFeatureClass, public ITable {
public:
    FileGdbFeatureClass(QString folder, QString className);

    QString AliasName() const override { return m_className; }
    std::int32_t ShapeType() const override;
    std::int64_t FeatureCount() const override;
    bool HasZ() const override;
    bool HasM() const override;
    std::int64_t RowCount() const override { return FeatureCount(); }

    const QString& folder() const { return m_folder; }

private:
    OGRwkbGeometryType geometryType() const;

    QString m_folder;
    QString m_className;
};
