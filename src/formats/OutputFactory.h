#pragma once

#include "formats/MergeOutput.h"
#include "formats/OutputPlace.h"
#include "formats/shapefile/ShapefileWriter.h"

#include <functional>
#include <memory>

// What an output needs besides its place, its schema and its coordinate system.
struct OutputOptions {
    QString geometryColumn = QStringLiteral("Shape");
    ShapefileLimits shapefileLimits;  // what a shapefile may hold (tests lower it)
    // Asked while a database works on its own before or after the rows (`complete` 0 or 1):
    // true stops the merge.
    std::function<bool(double complete)> stop;
};

// The output `place` names, created empty for `schema` (which must outlive it). Throws
// ConfluxError (or the output's own error type) when it cannot be made; nothing is then left.
std::unique_ptr<MergeOutput> makeOutput(const OutputPlace& place, const OutputSchema& schema,
                                        const OutputSystem& system, const OutputOptions& options);
