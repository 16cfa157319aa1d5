#pragma once

#include <ogr_geometry.h>

#include <memory>

// Fits input geometries to an output geometry type: the output's flat type decides the kind,
// point and one-point multipoint convert into each other, singles become multis where the output
// is multi, Z and M are added (as 0) or dropped to match the output.
class GeometryFit {
public:
    // `outputType`: the layer type of the output (wkbPoint, wkbMultiPoint, wkbLineString,
    // wkbMultiLineString, wkbPolygon, wkbMultiPolygon with any Z/M modifier). For
    // wkbLineString and wkbPolygon the multi form is also written as it comes.
    explicit GeometryFit(OGRwkbGeometryType outputType);

    // The fitted geometry, or nullptr when it cannot fit. `geometry` must not be null.
    std::unique_ptr<OGRGeometry> fit(std::unique_ptr<OGRGeometry> geometry) const;

private:
    std::unique_ptr<OGRGeometry> fitKind(std::unique_ptr<OGRGeometry> geometry) const;
    OGRwkbGeometryType m_flatType;
    bool m_hasZ;
    bool m_hasM;
};
