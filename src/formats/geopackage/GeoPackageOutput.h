#pragma once

#include "formats/MergeOutput.h"
#include "formats/geopackage/PackedRTree.h"
#include "host/GdalErrorCapture.h"

#include <QString>

// A new layer in an existing GeoPackage, written in one transaction. Destroying it before
// commit rolls back: the file is left as it was.
class GeoPackageOutput : public MergeOutput {
public:
    // Throws when the file is an Access database or no GeoPackage, or the layer exists.
    GeoPackageOutput(GdalErrorCapture& errors, const QString& path, const QString& layerName,
                     const QString& geometryColumn, const OGRFeatureDefn& fields,
                     OGRwkbGeometryType type, const OGRSpatialReference* srs);
    ~GeoPackageOutput() override;

    OGRLayer& featureLayer() override { return *m_layer; }
    void featureWritten(const OGRFeature& written) override;
    OGRFeatureDefn& fields() override { return *m_layer->GetLayerDefn(); }
    std::shared_ptr<IFeatureClass> commit() override;

    // Throws the refusal for an Access database (a Jet or ACE file), before any opening.
    static void refuseAccessDatabase(const QString& path);

private:
    void createLayer(const QString& geometryColumn, const OGRFeatureDefn& fields,
                     OGRwkbGeometryType type, const OGRSpatialReference* srs);
    void takeOverSpatialIndex(const QString& geometryColumn);
    void execute(const QByteArray& sql);
    void discard();

    GdalErrorCapture& m_errors;  // the merge's, which outlives this output
    QString m_path;
    QString m_layerName;
    GDALDatasetUniquePtr m_dataset;
    OGRLayer* m_layer = nullptr;
    sqlite3* m_db = nullptr;               // the dataset's own connection
    std::unique_ptr<PackedRTree> m_index;  // null when GDAL keeps its index itself
    QByteArray m_indexTrigger;             // the index's insert trigger, put back at commit
    bool m_committed = false;
};
