#pragma once

#include "formats/TemplateField.h"
#include "formats/postgis/PostgisTarget.h"

#include <ogr_core.h>

#include <vector>

// The new table's columns: the template's fields, then a geometry of one type.
struct PostgisLayout {
    std::vector<TemplateField> fields;
    OGRwkbGeometryType geometryType = wkbUnknown;  // with its Z/M: wkbMultiPolygonZM
    int srid = 0;                                  // 0: unknown
};
