#pragma once

#include "formats/OutputSchema.h"
#include "host/GeometryKind.h"

#include <ogr_core.h>

// The geometry type GDAL and PostGIS name for a merge's output: points as Point, multipoints as
// MultiPoint, lines as MultiLineString, polygons as MultiPolygon (what WkbWriter writes), with
// the output's Z and M.
inline OGRwkbGeometryType ogrGeometryType(const OutputSchema& schema) {
    OGRwkbGeometryType type = wkbMultiPolygon;
    switch (schema.kind) {
        case ShapeKind::Point:
            type = wkbPoint;
            break;
        case ShapeKind::MultiPoint:
            type = wkbMultiPoint;
            break;
        case ShapeKind::PolyLine:
            type = wkbMultiLineString;
            break;
        default:
            break;
    }
    return OGR_GT_SetModifier(type, schema.hasZ, schema.hasM);
}

// The host's shape type code of a layer's geometry type; 0 for any other.
inline std::int32_t shapeTypeCode(OGRwkbGeometryType type) {
    switch (wkbFlatten(type)) {
        case wkbPoint:
            return ShapeTypeCode::Point;
        case wkbMultiPoint:
            return ShapeTypeCode::Multipoint;
        case wkbLineString:
        case wkbMultiLineString:
            return ShapeTypeCode::Polyline;
        case wkbPolygon:
        case wkbMultiPolygon:
            return ShapeTypeCode::Polygon;
        default:
            return 0;
    }
}
