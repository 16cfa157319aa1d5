#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class OGRSpatialReference;

// A coordinate system shared by the outputs that were given it; never changed once read.
using SpatialReferencePtr = std::shared_ptr<const OGRSpatialReference>;

// A coordinate system of one owner's, released as GDAL counts its references.
struct SpatialReferenceRelease {
    void operator()(OGRSpatialReference* srs) const;
};
using SpatialReferenceOwner = std::unique_ptr<OGRSpatialReference, SpatialReferenceRelease>;

// Coordinate systems as the merge reads, compares and writes them. Every system made here has
// its axes in the traditional GIS order (x easting or longitude, y northing or latitude), as
// shapefiles store coordinates.
namespace SpatialReference {

// The system of a .prj's text, read as GDAL reads it when it opens the shapefile: Esri's WKT or
// the older keyword lines, identified with the EPSG system it matches where one does. Null for
// text that names no system.
SpatialReferencePtr fromPrj(const QByteArray& text);

// A system as GDAL's utilities take it: "EPSG:n", WKT, a PROJ string or the path of a .prj.
// Null with GDAL's message in `error` when it names none.
SpatialReferencePtr fromUserInput(const QString& text, QString& error);

// Whether coordinates of `a` are coordinates of `b`: the same system by meaning, whatever the
// names and the WKT dialect of its description.
bool same(const OGRSpatialReference& a, const OGRSpatialReference& b);

// "WGS 84 / UTM zone 37N (EPSG:32637)"; the name alone where no EPSG code is known.
QString describe(const OGRSpatialReference& srs);

// The system as Esri's WKT, as GDAL writes a shapefile's .prj.
QByteArray esriWkt(const OGRSpatialReference& srs);

// Its EPSG code; 0 when none is known for it.
int epsgCode(const OGRSpatialReference& srs);

// A copy of `srs` of the caller's own (null for null), its axes in the same order.
SpatialReferenceOwner clone(const OGRSpatialReference* srs);

}  // namespace SpatialReference
