#pragma once

#include "formats/OutputPlace.h"
#include "formats/shapefile/ShapefileWriter.h"
#include "host/GeodataInterfaces.h"
#include "host/HostObject.h"
#include "merge/AdmittedInputs.h"
#include "merge/MergeReport.h"
#include "shapefile/ShapefileProbe.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// Progress of a merge, shaped like GDALProgressFunc: `complete` runs from 0 to 1, weighted by
// features (input i of n covers i/n..(i+1)/n of its share); return false to cancel.
using MergeProgress = std::function<bool(double complete, const QString& message)>;

// One merge: the inputs in their order, the field source whose table (and shape type, with its
// Z and M) the output takes, and where the output goes.
struct MergeJob {
    std::vector<ShapefileProbePtr> inputs;
    ShapefileProbePtr fieldSource;
    std::int32_t shapeType = 0;  // the output's geometry as a host code: the field source's
    OutputPlace output;
    // The output's coordinate system instead of the field source's (null: the field source's),
    // as the user named it; and that of inputs without a readable .prj (null: the output's).
    SpatialReferencePtr targetSystem;
    QString targetSystemText;
    SpatialReferencePtr assumedInputSystem;
    MergeProgress progress;
    ShapefileLimits shapefileLimits;  // what a shapefile output may hold (tests lower it)

    // The job for the admitted inputs of the input arrays (shapefile feature classes, or layers
    // over them) with `fieldSource`'s fields and shape type, into `output`. Throws ConfluxError
    // (TypeMismatch) for an input that is no shapefile.
    static MergeJob of(const AdmittedInputs& inputs, const ObjectRef& fieldSource,
                       OutputPlace output);
};

// Merges shapefiles into one new output.
//
// The output has the field source's attribute fields in order, with their dBASE types, widths
// and decimals, and its shape type with its Z and M; each input feature becomes one output
// feature, its attributes copied by field name (compared as text, case ignored) and converted
// to the field source's types. Shapes that fit the output's shape type are written (point <->
// one-point multipoint; Z and M dropped or added as the output has them), others are refused
// and counted by reason, as are records that cannot be read, shapes with a coordinate that is
// infinite or not a number, and deleted table rows. Text keeps its code page when all inputs
// share one, passes through when none declares one, and is recoded to UTF-8 otherwise, text
// fields widened so the recoded values fit. The output holds one coordinate system (the one set
// for it, else the field source's): inputs in another are reprojected, those without one taken
// as the output's, each counted by source system. The inputs are read by the project's own
// shapefile reader, never waiting on a named pipe in a companion's place.
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
    // Returns the new output as a feature class. Throws ConfluxError on any failure, on a
    // cancel, and for an output that is one of the inputs or the field source.
    std::shared_ptr<IFeatureClass> Merge(const MergeJob& job);

    // The report of the last Merge call, also after a failed one (as far as it got).
    const MergeReport& lastReport() const { return m_report; }

private:
    MergeReport m_report;
};
