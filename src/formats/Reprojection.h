#pragma once

#include "shapefile/ShapeReprojection.h"

#include <QByteArray>

#include <memory>
#include <optional>

class OGRSpatialReference;

// The way from one coordinate system to another, as PROJ's best transformation between them
// (axes in the traditional GIS order). PROJ's objects belong to the thread that made them, so
// the way is kept as the two systems' descriptions and each thread makes its own transformer.
class Reprojection {
public:
    // Nullopt when PROJ knows no transformation between the two.
    static std::optional<Reprojection> between(const OGRSpatialReference& from,
                                               const OGRSpatialReference& to);

    // A transformer for the calling thread only; null when it cannot be made. Heights follow
    // the transformation where both systems are three-dimensional and are kept otherwise.
    std::unique_ptr<PointTransformer> makeTransformer() const;

private:
    QByteArray m_from;  // WKT2 of each system
    QByteArray m_to;
    bool m_threeD = false;
};
