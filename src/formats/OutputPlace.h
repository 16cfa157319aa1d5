#pragma once

#include "gdal/SpatialReference.h"

#include <QByteArray>
#include <QString>

// The kinds of output a merge writes.
enum class OutputKind { ShapefileFolder, GeoPackage, FileGeodatabase, Postgis };

// Where a merge writes: the kind of output and its place, one value from the dialog's output
// frame or the command line's options to the output it names.
struct OutputPlace {
    OutputKind kind = OutputKind::ShapefileFolder;
    // The shapefile's folder, the GeoPackage file, the File Geodatabase's ".gdb" folder, or the
    // PostGIS connection string.
    QString location;
    QString name;  // the shapefile's base name, or the layer's, class's or table's
    QString schema = QStringLiteral("public");  // PostGIS: the table's schema
    bool createSchema = false;                  // PostGIS: create the schema when missing
    bool replace = false;  // PostGIS: drop an existing table in the same transaction

    // Outputs with typed columns and UTF-8 text rather than dBASE records.
    bool takesValues() const { return kind != OutputKind::ShapefileFolder; }
};

// The coordinate system an output is written in.
struct OutputSystem {
    SpatialReferencePtr srs;  // null: none
    QByteArray prj;           // a shapefile's .prj: Esri's WKT, or the template's own bytes
    QString source;           // where it came from, for the report (a path, or as the user gave it)
};
