#include "host/GeometryFit.h"

#include <ogr_api.h>

GeometryFit::GeometryFit(OGRwkbGeometryType outputType)
    : m_flatType(wkbFlatten(outputType)),
      m_hasZ(wkbHasZ(outputType)),
      m_hasM(wkbHasM(outputType)) {}

namespace {
template <typename T>
std::unique_ptr<T> take(std::unique_ptr<OGRGeometry>& geometry) {
    return std::unique_ptr<T>(static_cast<T*>(geometry.release()));
}

bool isLine(OGRwkbGeometryType type) {
    return type == wkbLineString || type == wkbMultiLineString;
}
bool isArea(OGRwkbGeometryType type) {
    return type == wkbPolygon || type == wkbMultiPolygon;
}
}  // namespace

std::unique_ptr<OGRGeometry> GeometryFit::fitKind(std::unique_ptr<OGRGeometry> geometry) const {
    const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
    switch (m_flatType) {
        case wkbPoint:
            if (type == wkbPoint) {
                return geometry;
            }
            if (type == wkbMultiPoint) {
                auto multi = take<OGRMultiPoint>(geometry);
                if (multi->getNumGeometries() != 1) {
                    return nullptr;
                }
                return std::unique_ptr<OGRGeometry>(multi->getGeometryRef(0)->clone());
            }
            return nullptr;
        case wkbMultiPoint:
            if (type == wkbMultiPoint) {
                return geometry;
            }
            if (type == wkbPoint) {
                auto multi = std::make_unique<OGRMultiPoint>();
                multi->addGeometryDirectly(geometry.release());
                return multi;
            }
            return nullptr;
        case wkbLineString:
        case wkbPolygon:
            // Shapefile output: single and multi forms share one shape type.
            return (m_flatType == wkbLineString ? isLine(type) : isArea(type)) ? std::move(geometry)
                                                                               : nullptr;
        case wkbMultiLineString:
        case wkbMultiPolygon:
            if (m_flatType == wkbMultiLineString ? !isLine(type) : !isArea(type)) {
                return nullptr;
            }
            return std::unique_ptr<OGRGeometry>(
                OGRGeometryFactory::forceTo(geometry.release(), m_flatType));
        default:
            return nullptr;
    }
}

std::unique_ptr<OGRGeometry> GeometryFit::fit(std::unique_ptr<OGRGeometry> geometry) const {
    auto fitted = fitKind(std::move(geometry));
    if (fitted) {
        fitted->set3D(m_hasZ);
        fitted->setMeasured(m_hasM);
    }
    return fitted;
}
