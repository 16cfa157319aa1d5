#pragma once

#include "formats/MergeOutput.h"
#include "formats/WkbWriter.h"
#include "formats/filegdb/FileGdbWriter.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class OGRSpatialReference;

// A merge's new feature class in an existing File Geodatabase, written by FileGdbWriter: shape
// records become WKB of the class's type, rows the values of its fields. Destroying it before
// commit removes the class and leaves every file of the geodatabase as it was.
class FileGdbOutput : public MergeOutput {
public:
    // Creates the empty class `className` with the fields of `schema` (which must outlive the
    // output), its geometry (kind, Z, M) in a column `geometryColumn`, and `srs` (null:
    // unknown). Throws FileGdbError when the folder holds no File Geodatabase, a class or table
    // of that name is there, or another run writes the geodatabase; nothing is then changed.
    FileGdbOutput(const QString& folder, const QString& className, const QString& geometryColumn,
                  const OutputSchema& schema, const OGRSpatialReference* srs);

    bool beginInput(std::int32_t shapeType, RowMapper& rows) override;
    void write(const ShapeRecord& shape, const char* row, RowChanges& changes) override;
    std::shared_ptr<IFeatureClass> commit() override;
    // GDAL's changes to the names given (a class or field name it had to adjust).
    QStringList warnings() const override { return m_writer->warnings(); }

private:
    static FileGdbLayout layoutOf(const OutputSchema& schema, const QString& geometryColumn,
                                  const OGRSpatialReference* srs);

    QString m_folder;
    const OutputSchema& m_schema;
    WkbWriter m_wkb;
    std::unique_ptr<FileGdbWriter> m_writer;
    RowMapper* m_rows = nullptr;
    QByteArray m_geometry;
    std::vector<FieldValue> m_values;
};
