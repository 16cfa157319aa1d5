#pragma once

#include "host/HostObject.h"
#include "host/WorkspaceName.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// The name part of an output description: the dataset's name and its workspace.
class IDatasetName : public virtual HostObject {
public:
    virtual void setName(const QString& name) = 0;
    virtual const QString& Name() const = 0;
    virtual void setWorkspaceName(const std::shared_ptr<::WorkspaceName>& workspace) = 0;
    virtual std::shared_ptr<::WorkspaceName> WorkspaceName() const = 0;
};

// Describes an output feature class that does not exist yet.
class FeatureClassName : public IDatasetName {
public:
    // 1: simple features, the only type the merge writes.
    void setFeatureType(std::int32_t featureType) { m_featureType = featureType; }
    std::int32_t FeatureType() const { return m_featureType; }
    void setShapeFieldName(const QString& name) { m_shapeFieldName = name; }
    const QString& ShapeFieldName() const { return m_shapeFieldName; }
    // Shape type code of the output (ShapeTypeCode: 1, 2, 3 or 4).
    void setShapeType(std::int32_t shapeType) { m_shapeType = shapeType; }
    std::int32_t ShapeType() const { return m_shapeType; }
    // Whether output geometries carry Z / M values. Unset: as the merge's template table.
    void setHasZ(bool hasZ) { m_hasZ = hasZ; }
    void setHasM(bool hasM) { m_hasM = hasM; }
    std::optional<bool> HasZ() const { return m_hasZ; }
    std::optional<bool> HasM() const { return m_hasM; }

    void setName(const QString& name) override { m_name = name; }
    const QString& Name() const override { return m_name; }
    void setWorkspaceName(const std::shared_ptr<::WorkspaceName>& workspace) override {
        m_workspace = workspace;
    }
    std::shared_ptr<::WorkspaceName> WorkspaceName() const override { return m_workspace; }

private:
    std::int32_t m_featureType = 1;
    QString m_shapeFieldName = QStringLiteral("Shape");
    std::int32_t m_shapeType = 0;
    std::optional<bool> m_hasZ;
    std::optional<bool> m_hasM;
    QString m_name;
    std::shared_ptr<::WorkspaceName> m_workspace;
};
