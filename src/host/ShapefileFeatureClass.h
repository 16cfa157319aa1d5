#pragma once

#include "host/GeodataInterfaces.h"

#include <QString>

// One shapefile as a feature class and a table. Keeps only its path: every call opens the
// files and closes them before returning, so any number of classes can be held at once.
class ShapefileFeatureClass : public IFeatureClass, public ITable {
public:
    // `shpPath` names an existing .shp file.
    explicit ShapefileFeatureClass(QString shpPath);

    QString AliasName() const override;
    std::int32_t ShapeType() const override;
    std::int64_t FeatureCount() const override;
    bool HasZ() const override;
    bool HasM() const override;
    std::int64_t RowCount() const override { return FeatureCount(); }

    const QString& shpPath() const { return m_shpPath; }

private:
    QString m_shpPath;
};
