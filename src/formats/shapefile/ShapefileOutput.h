#pragma once

#include "formats/MergeOutput.h"
#include "formats/shapefile/ShapefileStaging.h"
#include "formats/shapefile/ShapefileWriter.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A new shapefile written under hidden temporary names in its target folder. commit() moves it
// in place, replacing the files of an existing shapefile of that name; a failure restores them.
// Records of the output's own type are written as they are, others converted to it; rows that
// match the output's layout are copied whole. A template without fields gives a table with one
// field, FID, numbering the records from 0, as GDAL writes it: many readers take no table
// without fields.
class ShapefileOutput : public MergeOutput {
public:
    // Creates the empty temporary shapefile of raw type `shpType` with the fields of `schema`
    // (which must outlive the output), declaring its code page (.cpg and language driver; an
    // empty one declares nothing). `prj`: the text of a .prj to write beside it, or empty.
    ShapefileOutput(const QString& folder, const QString& name, const OutputSchema& schema,
                    std::int32_t shpType, const QByteArray& prj,
                    const ShapefileLimits& limits = {});
    ~ShapefileOutput() override;

    bool beginInput(std::int32_t shapeType, RowMapper& rows) override;
    void write(const ShapeRecord& shape, const char* row, RowChanges& changes) override;
    std::shared_ptr<IFeatureClass> commit() override;

    // Temporary path of the file with `extension` ("shp", "shx", "dbf").
    QString tempPath(const QString& extension) const;

private:
    void writeDeclarations();
    void replaceExisting();
    void removeTemporaries();

    QString m_folder;
    QString m_name;
    ShapefileStaging m_staging;
    const OutputSchema& m_schema;
    OutputSchema m_numbered;  // the table of a template without fields: records numbered
    std::int32_t m_shpType;
    QByteArray m_prj;
    std::unique_ptr<ShapefileWriter> m_writer;
    RowMapper* m_rows = nullptr;
    QByteArray m_record;  // a record converted to the output's type
    ShapeRecord m_converted;
    QByteArray m_row;  // a row converted to the output's layout
    bool m_committed = false;
};
