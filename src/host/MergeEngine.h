#pragma once

#include "formats/SpatialReference.h"
#include "formats/postgis/PostgisTarget.h"
#include "formats/shapefile/ShapefileWriter.h"
#include "host/FeatureClassName.h"
#include "host/GeodataInterfaces.h"
#include "host/HostArray.h"
#include "host/MergeReport.h"

#include <QString>

// Progress of a merge, shaped like GDALProgressFunc: `complete` runs from 0 to 1, weighted by
// features (input i of n covers i/n..(i+1)/n of its share); return false to cancel.
using MergeProgress = std::function<bool(double complete, const QString& message)>;

// A coordinate system for a merge's output.
struct OutputSystem {
    SpatialReferencePtr srs;  // null: none
    QByteArray prj;           // a shapefile's .prj: Esri's WKT, or the template's own bytes
    QString source;           // where it came from, for the report (a path, or as the user gave it)
};

// Merges input tables into one new feature class.
//
// The output has the template table's attribute fields in order, with their dBASE types,
// widths and decimals, and the template's shape type with its Z and M; each input feature
// becomes one output feature, its attributes copied by field name (compared as text, case
// ignored) and converted to the template's types. Shapes that fit the output's shape type are
// written (point <-> one-point multipoint; Z and M dropped or added as the output has them),
// others are refused and counted by reason, as are records that cannot be read, shapes with a
// coordinate that is infinite or not a number, and deleted table rows. Text keeps its code page
// when all inputs share one, passes through when none declares one, and is recoded to UTF-8
// otherwise, text fields widened so the recoded values fit. The output holds one coordinate
// system (the one set for it, else the template's): inputs in another are reprojected, those
// without one taken as the output's, each counted by source system. The inputs are read by the
// project's own shapefile reader, never waiting on a named pipe in a companion's place.
//
// Shapefile output is written under temporary names in the target folder and renamed into place
// only when complete, replacing an existing shapefile of that name in one step; any failure or a
// cancel leaves the folder as it was. GeoPackage output adds a layer to an existing GeoPackage;
// an existing layer of that name, or an Access database, is refused before anything is written.
// PostGIS output creates a table in one transaction (see PostgisOutput).
// File Geodatabase output adds a feature class to an existing ".gdb" folder; an existing class
// of that name is refused, and a failure or a cancel leaves every file of the folder as it was.
class MergeEngine : public virtual HostObject {
public:
    void setProgress(MergeProgress progress) { m_progress = std::move(progress); }
    // A file the output must never overwrite besides the inputs (the field-source file).
    void setFieldSource(const std::shared_ptr<IFeatureClass>& fieldSource) {
        m_fieldSource = fieldSource;
    }
    // Where a PostGIS output's table goes (schema, replacing); its name is the output's.
    void setPostgisPlacement(const PostgisTarget& placement) { m_postgisPlacement = placement; }
    // The output's coordinate system instead of the template's (`source` as the user gave it).
    void setOutputSystem(SpatialReferencePtr srs, const QString& source) {
        m_outputSystem = {std::move(srs), {}, source};
    }
    // The coordinate system of inputs without a readable .prj (null: taken as the output's).
    void setAssumedInputSystem(SpatialReferencePtr srs) { m_assumedInputSystem = std::move(srs); }
    // What a shapefile output may hold before it is refused (tests lower it).
    void setShapefileLimits(const ShapefileLimits& limits) { m_shapefileLimits = limits; }

    // `inputs` holds ITable objects over shapefiles (feature layers or feature classes);
    // `templateTable` is the field-source file's, taken as a table.
    // Returns the new output feature class (owned by the caller). Throws ConfluxError on any
    // failure, on a cancel, and for an output that is one of the inputs or the field source.
    std::shared_ptr<IFeatureClass> Merge(const HostArray& inputs,
                                         const std::shared_ptr<ITable>& templateTable,
                                         const std::shared_ptr<FeatureClassName>& output);

    // The report of the last Merge call, also after a failed one (as far as it got).
    const MergeReport& lastReport() const { return m_report; }

private:
    MergeProgress m_progress;
    std::shared_ptr<IFeatureClass> m_fieldSource;
    ShapefileLimits m_shapefileLimits;
    PostgisTarget m_postgisPlacement;
    OutputSystem m_outputSystem;
    SpatialReferencePtr m_assumedInputSystem;
    MergeReport m_report;
};
