#pragma once

#include "formats/MergeOutput.h"
#include "formats/WkbWriter.h"
#include "formats/geopackage/GeoPackageInserter.h"
#include "formats/geopackage/PackedRTree.h"
#include "formats/geopackage/SqliteStatement.h"
#include "gdal/GdalErrorCapture.h"

#include <gdal_priv.h>

#include <QString>

// A new layer in an existing GeoPackage, written in one transaction. GDAL creates the layer,
// its metadata and its spatial index; the features go in through one prepared INSERT on GDAL's
// own connection (a geometry blob built from the shape record, the row's values in UTF-8), run
// on a thread of its own while the next features are converted; the index is packed at commit,
// and the layer's extent and feature count are set as GDAL would.
// Destroying it before commit rolls back: the file is left as it was.
class GeoPackageOutput : public MergeOutput {
public:
    // Throws when the file is an Access database or no GeoPackage, or the layer exists.
    // `schema` must outlive the output.
    GeoPackageOutput(const QString& path, const QString& layerName, const QString& geometryColumn,
                     const OutputSchema& schema, const OGRSpatialReference* srs);
    ~GeoPackageOutput() override;

    bool beginInput(std::int32_t shapeType, RowMapper& rows) override;
    void write(const ShapeRecord& shape, const char* row, RowChanges& changes) override;
    std::shared_ptr<IFeatureClass> commit() override;

    // Throws the refusal for an Access database (a Jet or ACE file), before any opening.
    static void refuseAccessDatabase(const QString& path);

private:
    void createLayer(const QString& geometryColumn, const OGRSpatialReference* srs);
    void prepareInsert(const QString& geometryColumn);
    void liftTrigger(const QByteArray& name);
    void finishContents();
    void execute(const QByteArray& sql);
    QString failure() const;
    void discard();

    GdalErrorCapture m_errors;  // first made, last gone: GDAL's messages while the output lives
    QString m_path;
    QString m_layerName;
    const OutputSchema& m_schema;
    GDALDatasetUniquePtr m_dataset;
    OGRLayer* m_layer = nullptr;
    sqlite3* m_db = nullptr;  // the dataset's own connection
    std::unique_ptr<SqliteStatement> m_insert;
    std::unique_ptr<PackedRTree> m_index;            // null when GDAL keeps its index itself
    std::unique_ptr<GeoPackageInserter> m_inserter;  // uses m_insert and m_index
    std::vector<QByteArray> m_liftedTriggers;        // put back at commit
    WkbWriter m_wkb;
    std::int32_t m_srsId = 0;
    QByteArray m_blob;
    RowMapper* m_rows = nullptr;
    std::int64_t m_features = 0;
    ShapeRecord::Ranges m_extent;
    bool m_hasExtent = false;
    bool m_committed = false;
};
