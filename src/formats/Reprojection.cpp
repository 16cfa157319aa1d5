#include "formats/Reprojection.h"

#include "gdal/GdalErrorCapture.h"

#include <cpl_error.h>
#include <ogr_spatialref.h>

namespace {

struct TransformationDeleter {
    void operator()(OGRCoordinateTransformation* transformation) const {
        OGRCoordinateTransformation::DestroyCT(transformation);
    }
};
using TransformationPtr = std::unique_ptr<OGRCoordinateTransformation, TransformationDeleter>;

class GdalPointTransformer : public PointTransformer {
public:
    GdalPointTransformer(TransformationPtr transformation, bool threeD)
        : m_transformation(std::move(transformation)), m_threeD(threeD) {}

    void transform(std::size_t count, double* x, double* y, double* z, int* ok) override {
        // A point outside a system's domain is an answer here, not an error for anyone to see.
        CPLPushErrorHandler(CPLQuietErrorHandler);
        // Each point's own flag is the answer, whatever the call returns for all of them.
        m_transformation->Transform(count, x, y, m_threeD ? z : nullptr, nullptr, ok);
        CPLPopErrorHandler();
    }

private:
    TransformationPtr m_transformation;
    bool m_threeD;
};

QByteArray wkt2(const OGRSpatialReference& srs) {
    char* text = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", "MULTILINE=NO", nullptr};
    QByteArray wkt;
    if (srs.exportToWkt(&text, options) == OGRERR_NONE && text) {
        wkt = text;
    }
    CPLFree(text);
    return wkt;
}

TransformationPtr transformation(const QByteArray& fromWkt, const QByteArray& toWkt) {
    OGRSpatialReference from;
    OGRSpatialReference to;
    if (from.importFromWkt(fromWkt.constData()) != OGRERR_NONE ||
        to.importFromWkt(toWkt.constData()) != OGRERR_NONE) {
        return nullptr;
    }
    from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    to.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return TransformationPtr(OGRCreateCoordinateTransformation(&from, &to));
}

}  // namespace

std::optional<Reprojection> Reprojection::between(const OGRSpatialReference& from,
                                                  const OGRSpatialReference& to) {
    GdalErrorCapture errors;
    Reprojection reprojection;
    reprojection.m_from = wkt2(from);
    reprojection.m_to = wkt2(to);
    reprojection.m_threeD = from.GetAxesCount() == 3 && to.GetAxesCount() == 3;
    if (reprojection.m_from.isEmpty() || reprojection.m_to.isEmpty() ||
        !transformation(reprojection.m_from, reprojection.m_to)) {
        return std::nullopt;
    }
    return reprojection;
}

std::unique_ptr<PointTransformer> Reprojection::makeTransformer() const {
    GdalErrorCapture errors;
    TransformationPtr made = transformation(m_from, m_to);
    if (!made) {
        return nullptr;
    }
    return std::make_unique<GdalPointTransformer>(std::move(made), m_threeD);
}
