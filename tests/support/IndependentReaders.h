#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// Outputs read back by readers that are not this project's nor GDAL's: pyshp (Debian
// python3-pyshp, through the system Python), shapelib's shpdump, GDAL's GeoPackage validator.
namespace IndependentReaders {

// The shapefile as pyshp reads it: {"shapeType", "bbox": [x0,y0,x1,y1], "zbox", "mbox",
// "fields": [[name, type, size, decimals]], "shapes": [{"type", "parts", "points": [[x,y]],
// "z": [...], "m": [...]}], "records": [[values as text, or null]]}; {"error": text} on failure.
// Measures pyshp reads as "no data" come as null.
QJsonObject pyshp(const QString& shpPath);

// `shpdump -validate` of the shapefile: its whole output.
QString shpdumpValidate(const QString& shpPath);

// Runs GDAL's validate_gpkg.py with --extra; empty when the file passes, else what it says.
QString validateGeoPackage(const QString& path);

}  // namespace IndependentReaders
