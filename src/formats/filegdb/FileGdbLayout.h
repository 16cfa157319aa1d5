#pragma once

#include "formats/PrjFile.h"
#include "formats/TemplateField.h"

#include <ogr_core.h>

#include <QString>

#include <vector>

// Where a new feature class goes.
struct FileGdbTarget {
    QString folder;        // an existing File Geodatabase, the ".gdb" folder
    QString featureClass;  // its name as asked; the writer tells the name it got
};

// The new feature class: the template's fields, then a geometry of one type.
struct FileGdbLayout {
    std::vector<TemplateField> fields;
    OGRwkbGeometryType geometryType = wkbUnknown;  // with its Z/M: wkbMultiPolygonZM
    SpatialReferencePtr spatialReference;          // null: unknown
    QString geometryName = QStringLiteral("SHAPE");
};
