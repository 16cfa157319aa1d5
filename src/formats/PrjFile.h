#pragma once

#include <QString>

#include <memory>

class OGRSpatialReference;

// A coordinate system shared by the outputs that were given it; never changed once read.
using SpatialReferencePtr = std::shared_ptr<const OGRSpatialReference>;

// The coordinate system of a shapefile's .prj, read as GDAL reads it when it opens the
// shapefile: Esri's WKT, or the older keyword lines. Axes in the traditional GIS order.
struct PrjReading {
    enum class Outcome { Read, Missing, Unreadable };
    Outcome outcome = Outcome::Missing;
    SpatialReferencePtr srs;  // set when read
};

// `prjPath` is read only when it is a regular file (a named pipe or device in its place counts
// as missing); at most its first MiB.
PrjReading readPrjFile(const QString& prjPath);
