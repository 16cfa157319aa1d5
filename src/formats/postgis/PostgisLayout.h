#pragma once

#include "formats/TemplateField.h"

#include <ogr_core.h>

#include <QString>

#include <vector>

// Where the new table goes.
struct PostgisTarget {
    QString schema = QStringLiteral("public");
    QString table;
    bool createSchema = false;  // create the schema when it is missing
    bool replace = false;       // drop an existing table of that name, in the same transaction
};

// The new table's columns: the template's fields, then a geometry of one type.
struct PostgisLayout {
    std::vector<TemplateField> fields;
    OGRwkbGeometryType geometryType = wkbUnknown;  // with its Z/M: wkbMultiPolygonZM
    int srid = 0;                                  // 0: unknown
};
