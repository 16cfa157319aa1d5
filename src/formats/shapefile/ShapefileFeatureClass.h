#pragma once

#include "host/GeodataInterfaces.h"
#include "shapefile/ShapefileProbe.h"

#include <QString>

// One shapefile as a feature class and a table, answered from the probe made when it was
// opened: nothing stays open, so any number of classes can be held at once.
class ShapefileFeatureClass : public IFeatureClass, public ITable {
public:
    explicit ShapefileFeatureClass(ShapefileProbePtr probe) : m_probe(std::move(probe)) {}
    // Probes `shpPath`; throws ConfluxError naming it when it is no shapefile to read.
    explicit ShapefileFeatureClass(const QString& shpPath);

    QString AliasName() const override;
    std::int32_t ShapeType() const override;
    std::int64_t FeatureCount() const override { return m_probe->recordCount(); }
    bool HasZ() const override;
    bool HasM() const override;
    std::int64_t RowCount() const override { return FeatureCount(); }

    const QString& shpPath() const { return m_probe->shpPath(); }
    const ShapefileProbePtr& probe() const { return m_probe; }

private:
    ShapefileProbePtr m_probe;
};
