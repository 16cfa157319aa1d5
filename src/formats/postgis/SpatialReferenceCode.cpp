#include "formats/postgis/SpatialReferenceCode.h"

#include "host/GdalErrorCapture.h"

#include <cpl_string.h>
#include <ogr_spatialref.h>

#include <QFile>

#include <cstring>
#include <memory>

namespace {
constexpr int kLeastConfidence = 90;  // GDAL's own bar for taking a match as the same system

int epsgCode(const OGRSpatialReference& srs, const char* node) {
    const char* authority = srs.GetAuthorityName(node);
    const char* code = srs.GetAuthorityCode(node);
    return authority && code && EQUAL(authority, "EPSG") ? std::atoi(code) : 0;
}

int bestMatch(const OGRSpatialReference& srs) {
    int count = 0;
    int* confidences = nullptr;
    OGRSpatialReferenceH* matches = srs.FindMatches(nullptr, &count, &confidences);
    int code = 0;
    for (int i = 0; i < count && code == 0; ++i) {
        if (confidences[i] >= kLeastConfidence) {
            code = epsgCode(*OGRSpatialReference::FromHandle(matches[i]), nullptr);
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
    std::unique_ptr<OGRSpatialReference, void (*)(OGRSpatialReference*)> copy(
        srs->Clone(), [](OGRSpatialReference* owned) { owned->Release(); });
    const char* node = copy->IsProjected() ? "PROJCS" : copy->IsGeographic() ? "GEOGCS" : nullptr;
    int code = epsgCode(*copy, node);
    if (code == 0 && copy->AutoIdentifyEPSG() == OGRERR_NONE) {
        code = epsgCode(*copy, node);
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

SridChoice sridFromPrj(const QString& prjPath) {
    QFile file(prjPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return sridOf(nullptr, prjPath);
    }
    const QByteArray text = file.read(1 << 20).trimmed();
    GdalErrorCapture errors;
    OGRSpatialReference srs;
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    // Read as GDAL reads a shapefile's .prj: Esri's WKT, or the older keyword lines.
    CPLStringList lines(CSLTokenizeString2(text.constData(), "\r\n", 0));
    if (text.isEmpty() || srs.importFromESRI(lines.List()) != OGRERR_NONE) {
        return {0, QStringLiteral("The coordinate system of %1 cannot be read: the geometry "
                                  "column has SRID 0")
                       .arg(prjPath)};
    }
    return sridOf(&srs, prjPath);
}
