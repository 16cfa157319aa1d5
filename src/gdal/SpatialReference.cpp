#include "gdal/SpatialReference.h"

#include "gdal/GdalErrorCapture.h"

#include <cpl_string.h>
#include <ogr_spatialref.h>

namespace {

// A new empty system, or `srs`, held by a shared owner.
std::shared_ptr<OGRSpatialReference> owned(OGRSpatialReference* srs = nullptr) {
    if (!srs) {
        srs = OGRSpatialReference::FromHandle(OSRNewSpatialReference(nullptr));
    }
    if (srs) {
        srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    }
    return SpatialReferenceOwner(srs);
}

const char* codeNode(const OGRSpatialReference& srs) {
    return srs.IsProjected() ? "PROJCS" : srs.IsGeographic() ? "GEOGCS" : nullptr;
}

}  // namespace

void SpatialReferenceRelease::operator()(OGRSpatialReference* srs) const {
    if (srs) {
        srs->Release();
    }
}

namespace SpatialReference {

SpatialReferenceOwner clone(const OGRSpatialReference* srs) {
    return SpatialReferenceOwner(srs ? srs->Clone() : nullptr);
}

SpatialReferencePtr fromPrj(const QByteArray& text) {
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return nullptr;
    }
    GdalErrorCapture errors;
    auto srs = owned();
    CPLStringList lines(CSLTokenizeString2(trimmed.constData(), "\r\n", 0));
    if (srs->importFromESRI(lines.List()) != OGRERR_NONE) {
        return nullptr;
    }
    if (OGRSpatialReference* match = srs->FindBestMatch()) {
        return owned(match);
    }
    srs->AutoIdentifyEPSG();
    return srs;
}

SpatialReferencePtr fromUserInput(const QString& text, QString& error) {
    GdalErrorCapture errors;
    auto srs = owned();
    const QByteArray given = text.toUtf8();
    if (given.trimmed().isEmpty() || srs->SetFromUserInput(given.constData()) != OGRERR_NONE ||
        srs->IsEmpty()) {
        error = errors.lastFailure().isEmpty()
                    ? QStringLiteral("'%1' names no coordinate system").arg(text)
                    : errors.lastFailure();
        return nullptr;
    }
    return srs;
}

bool same(const OGRSpatialReference& a, const OGRSpatialReference& b) {
    if (&a == &b) {
        return true;
    }
    GdalErrorCapture errors;
    const char* const options[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                                   "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
    return a.IsSame(&b, options);
}

int epsgCode(const OGRSpatialReference& srs) {
    const char* node = codeNode(srs);
    const char* authority = srs.GetAuthorityName(node);
    const char* code = srs.GetAuthorityCode(node);
    return authority && code && EQUAL(authority, "EPSG") ? std::atoi(code) : 0;
}

QString describe(const OGRSpatialReference& srs) {
    const char* name = srs.GetName();
    const QString text = name && *name ? QString::fromUtf8(name) : QStringLiteral("unnamed system");
    const int code = epsgCode(srs);
    return code == 0 ? text : QStringLiteral("%1 (EPSG:%2)").arg(text).arg(code);
}

QByteArray esriWkt(const OGRSpatialReference& srs) {
    GdalErrorCapture errors;
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT1_ESRI", nullptr};
    QByteArray text;
    if (srs.exportToWkt(&wkt, options) == OGRERR_NONE && wkt) {
        text = wkt;
    }
    CPLFree(wkt);
    return text;
}

}  // namespace SpatialReference
