#pragma once

#include <QString>

class OGRSpatialReference;

// The SRID a PostGIS geometry column gets for a coordinate system: its EPSG code where one
// matches, else 0 with a warning for the report.
struct SridChoice {
    int srid = 0;
    QString warning;  // empty when an EPSG code matched
};

// `srs`: the template's coordinate system, null when it has none; `source` names it in the
// warning (the .prj's path).
SridChoice sridOf(const OGRSpatialReference* srs, const QString& source);
