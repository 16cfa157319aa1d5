#pragma once

#include "formats/OutputPlace.h"

#include <QString>

#include <cstdint>
#include <vector>

// The checks of a merge's output made before anything is written.
namespace MergeTarget {

// Throws ConfluxError for a place that does not exist (a shapefile's folder, a GeoPackage file,
// a File Geodatabase folder; a PostGIS server checks its own in the merge's transaction), a
// name that is empty, holds "/" or is one of the merge's own temporaries, or a shape type
// (host code) the merge cannot write.
void check(const OutputPlace& place, std::int32_t shapeType);

// Throws when a shapefile output would overwrite one of `sources` (shapefile paths): the same
// folder and the same base name, letter case ignored.
void refuseOverwriting(const OutputPlace& place, const std::vector<QString>& sources);

}  // namespace MergeTarget
