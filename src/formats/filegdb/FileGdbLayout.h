#pragma once

#include "formats/OutputSchema.h"
#include "gdal/SpatialReference.h"

#include <ogr_core.h>

#include <QString>

#include <vector>

// Where a new feature class goes.
struct FileGdbTarget {
    QString folder;        // an existing File Geodatabase, the ".gdb" folder
    QString featureClass;  // its name as asked; the writer tells the name it got
};

// The new feature class: the output's fields, then a geometry of one type.
struct FileGdbLayout {
    std::vector<OutputField> fields;
    OGRwkbGeometryType geometryType = wkbUnknown;  // with its Z/M: wkbMultiPolygonZM
    SpatialReferencePtr spatialReference;          // null: unknown
    QString geometryName = QStringLiteral("SHAPE");
};
