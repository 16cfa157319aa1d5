#pragma once

#include "host/FeatureClassName.h"

#include <QString>

#include <memory>
#include <vector>

// The output of a merge as described by a FeatureClassName, checked before anything is written.
struct MergeTarget {
    bool geoPackage = false;
    bool postgis = false;
    bool fileGeodatabase = false;
    // shapefile: the folder; GeoPackage: the file; File Geodatabase: its folder; PostGIS: the
    // connection string
    QString location;
    QString name;  // the shapefile's base name or the layer's name
    QString geometryColumn;
    std::int32_t shapeType = 0;

    // Whether the output takes typed values and UTF-8 text rather than dBASE records (which keep
    // dBASE's limits and code pages).
    bool takesValues() const { return geoPackage || postgis || fileGeodatabase; }

    // Throws for a missing workspace, an unknown factory, an empty name, a shape type the
    // merge cannot write, a missing folder or file.
    static MergeTarget from(const FeatureClassName& output);

    // Throws when the shapefile output would overwrite one of `sources` (shapefile paths):
    // same folder and the same base name, case ignored.
    void refuseOverwriting(const std::vector<QString>& sources) const;
};
