#pragma once

#include "host/GeodataInterfaces.h"

// A layer over one feature class; taken as ITable it counts that class's rows.
class FeatureLayer : public IFeatureLayer, public ITable {
public:
    void setFeatureClass(const std::shared_ptr<IFeatureClass>& featureClass) override {
        m_featureClass = featureClass;
    }
    std::shared_ptr<IFeatureClass> FeatureClass() const override { return m_featureClass; }
    // Throws ObjectNotSet before a feature class is set.
    std::int64_t RowCount() const override;

private:
    std::shared_ptr<IFeatureClass> m_featureClass;
};
