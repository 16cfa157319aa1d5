#pragma once

#include "host/GeodataInterfaces.h"

#include <QString>

#include <cstdint>

// A PostGIS table just written, as a feature class: what the merge knows of it.
class PostgisFeatureClass : public IFeatureClass, public ITable {
public:
    PostgisFeatureClass(QString name, std::int32_t shapeType, std::int64_t count, bool z, bool m)
        : m_name(std::move(name)), m_shapeType(shapeType), m_count(count), m_z(z), m_m(m) {}

    QString AliasName() const override { return m_name; }
    std::int32_t ShapeType() const override { return m_shapeType; }
    std::int64_t FeatureCount() const override { return m_count; }
    bool HasZ() const override { return m_z; }
    bool HasM() const override { return m_m; }
    std::int64_t RowCount() const override { return m_count; }

private:
    QString m_name;  // schema.table
    std::int32_t m_shapeType;
    std::int64_t m_count;
    bool m_z;
    bool m_m;
};
