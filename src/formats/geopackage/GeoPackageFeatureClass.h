#pragma once

#include "host/GeodataInterfaces.h"

#include <QString>

// One layer of a GeoPackage as a feature class and a table; opened on demand like shapefiles.
class GeoPackageFeatureClass : public IFeatureClass, public ITable {
public:
    GeoPackageFeatureClass(QString path, QString layerName);

    QString AliasName() const override { return m_layerName; }
    std::int32_t ShapeType() const override;
    std::int64_t FeatureCount() const override;
    bool HasZ() const override;
    bool HasM() const override;
    std::int64_t RowCount() const override { return FeatureCount(); }

    const QString& path() const { return m_path; }

private:
    QString m_path;
    QString m_layerName;
};
