#include "formats/postgis/SpatialReferenceCode.h"

#include "gdal/GdalErrorCapture.h"
#include "gdal/SpatialReference.h"

#include <cpl_string.h>
#include <ogr_spatialref.h>

namespace {
constexpr int kLeastConfidence = 90;  // GDAL's own bar for taking a match as the same system

int bestMatch(const OGRSpatialReference& srs) {
    int count = 0;
    int* confidences = nullptr;
    OGRSpatialReferenceH* matches = srs.FindMatches(nullptr, &count, &confidences);
    int code = 0;
    for (int i = 0; i < count && code == 0; ++i) {
        if (confidences[i] >= kLeastConfidence) {
            code = SpatialReference::epsgCode(*OGRSpatialReference::FromHandle(matches[i]));
        }
    }
    OSRFreeSRSArray(matches);
    CPLFree(confidences);
    return code;
}
}  // namespace

SridChoice sridOf(const OGRSpatialReference* srs, const QString& source) {
    if (!srs || srs->IsEmpty()) {
        return {0, QStringLiteral("No coordinate system (%1): the geometry column has SRID 0")
                       .arg(source)};
    }
    GdalErrorCapture errors;
    const SpatialReferenceOwner copy = SpatialReference::clone(srs);
    int code = SpatialReference::epsgCode(*copy);
    if (code == 0 && copy->AutoIdentifyEPSG() == OGRERR_NONE) {
        code = SpatialReference::epsgCode(*copy);
    }
    if (code == 0) {
        code = bestMatch(*copy);
    }
    if (code == 0) {
        return {0, QStringLiteral("No EPSG code matches the coordinate system of %1: the "
                                  "geometry column has SRID 0")
                       .arg(source)};
    }
    return {code, {}};
}
