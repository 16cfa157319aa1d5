#pragma once

#include "formats/RowMapper.h"
#include "host/GeodataInterfaces.h"
#include "shapefile/ShapeRecord.h"

#include <QStringList>

#include <cstdint>
#include <memory>

// Where a merge writes, one format each; the merge engine drives it. An output is created with
// the merge's OutputSchema (fields, code page, geometry kind with its Z and M) and then gets the
// inputs one after the other, each as shape records with the table rows of the same numbers.
// Nothing is visible at the final place before commit(); destroying an output that was not
// committed removes everything it wrote.
//
// An output turns what it gets into its own format with the shared pieces: a shape record into
// a record of the output's raw type (ShapeConvert) or into WKB (WkbWriter, ISO or PostGIS's
// EWKB; OGRGeometryFactory reads it for GDAL's drivers), a row into a dBASE record or into
// typed values (the RowMapper given with each input).
class MergeOutput {
public:
    virtual ~MergeOutput() = default;

    // The next input begins: `shapeType` is the raw type its header declares, `rows` maps its
    // table's rows to the output's fields (valid until the next input). Returns true when the
    // output takes its records and rows unchanged, as bytes.
    virtual bool beginInput(std::int32_t shapeType, RowMapper& rows) = 0;
    // Writes one feature: `shape` is valid and null or fitting the output's kind; `row` is the
    // input's table row (nullptr: none), whose conversion notes what it changed in `changes`.
    // Throws ConfluxError when the output cannot take it (a size limit, a write error).
    virtual void write(const ShapeRecord& shape, const char* row, RowChanges& changes) = 0;
    // Finishes the output, puts it in its place and returns it as a feature class.
    virtual std::shared_ptr<IFeatureClass> commit() = 0;
    // Notes for the merge's report, complete after commit (a coordinate system without a code).
    virtual QStringList warnings() const { return {}; }
};
