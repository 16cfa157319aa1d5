#pragma once

#include "host/GeodataInterfaces.h"

#include <ogrsf_frmts.h>

#include <memory>

// Where a merge writes. Nothing is visible at the final place before commit(); destroying an
// output that was not committed removes everything it wrote.
class MergeOutput {
public:
    virtual ~MergeOutput() = default;

    // The output's layer for features written through GDAL; opened on demand.
    virtual OGRLayer& featureLayer() = 0;
    // Called after each feature written to featureLayer(), with the feature as written.
    virtual void featureWritten(const OGRFeature& /*written*/) {}
    // The output's field layout (valid for the output's life).
    virtual OGRFeatureDefn& fields() = 0;
    // Finishes the output, puts it in its place and returns it as a feature class.
    virtual std::shared_ptr<IFeatureClass> commit() = 0;
};
