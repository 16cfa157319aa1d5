#pragma once

#include "formats/MergeOutput.h"
#include "formats/shapefile/ShapefileStaging.h"
#include "host/GdalErrorCapture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A new shapefile written under hidden temporary names in its target folder. commit() moves it
// in place, replacing the files of an existing shapefile of that name; a failure restores them.
class ShapefileOutput : public MergeOutput {
public:
    // Creates the empty temporary shapefile with `fields` (copied) and layer type `type`.
    // `codePage`: declared by the committed output (.cpg and language driver); empty declares
    // nothing. `prjSource`: a .prj copied beside the output, or empty.
    ShapefileOutput(GdalErrorCapture& errors, const QString& folder, const QString& name,
                    const OGRFeatureDefn& fields, OGRwkbGeometryType type,
                    const QByteArray& codePage, const QString& prjSource);
    ~ShapefileOutput() override;

    OGRLayer& featureLayer() override;
    void featureWritten(const OGRFeature& written) override;
    OGRFeatureDefn& fields() override;
    std::shared_ptr<IFeatureClass> commit() override;

    // Closes the GDAL dataset, so the temporary files can be appended to as bytes.
    void closeFeatureLayer();
    // Whether a shape (not a null one) has been written, through GDAL or as bytes: until then
    // the file header's bounding box holds zeros, which are no box.
    bool hasShapes() const { return m_hasShapes; }
    void shapesAppended() { m_hasShapes = true; }
    // Temporary path of the file with `extension` ("shp", "shx", "dbf").
    QString tempPath(const QString& extension) const;

private:
    void writeDeclarations();
    void replaceExisting();
    void removeTemporaries();

    GdalErrorCapture& m_errors;  // the merge's, which outlives this output
    QString m_folder;
    QString m_name;
    ShapefileStaging m_staging;
    QByteArray m_codePage;
    QString m_prjSource;
    GDALDatasetUniquePtr m_dataset;
    OGRFeatureDefn* m_fields = nullptr;  // reference-counted copy
    bool m_hasShapes = false;
    bool m_committed = false;
};
