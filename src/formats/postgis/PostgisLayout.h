#pragma once

#include "formats/OutputSchema.h"
#include "formats/postgis/PostgisTarget.h"

#include <ogr_core.h>

#include <vector>

// The new table's columns: the output's fields, then a geometry of one type.
struct PostgisLayout {
    std::vector<OutputField> fields;
    OGRwkbGeometryType geometryType = wkbUnknown;  // with its Z/M: wkbMultiPolygonZM
    int srid = 0;                                  // 0: unknown
};
