#pragma once

#include <ogr_core.h>

#include <QString>

#include <vector>

// One template field, as a dBASE table declares it.
struct PostgisField {
    QString name;
    char type = 'C';  // C, N, F, L or D
    int width = 0;
    int decimals = 0;
};

// Where the new table goes.
struct PostgisTarget {
    QString schema = QStringLiteral("public");
    QString table;
    bool createSchema = false;  // create the schema when it is missing
    bool replace = false;       // drop an existing table of that name, in the same transaction
};

// The new table's columns: the template's fields, then a geometry of one type.
struct PostgisLayout {
    std::vector<PostgisField> fields;
    OGRwkbGeometryType geometryType = wkbUnknown;  // with its Z/M: wkbMultiPolygonZM
    int srid = 0;                                  // 0: unknown
};
