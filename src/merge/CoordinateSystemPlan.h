#pragma once

#include "formats/Reprojection.h"
#include "gdal/SpatialReference.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

// Which coordinate system a merge's output holds, and how each input's coordinates reach it.
// Systems are compared by meaning: a .prj another program wrote for the same system is the
// same system. Decisions are kept by the .prj's text, so an archive of thousands of sheets in
// a few systems asks PROJ a few times only.
class CoordinateSystemPlan {
public:
    enum class Way {
        AsRead,          // in the output's system (or neither has one): coordinates unchanged
        Reprojected,     // from another system into the output's
        TakenAsOutputs,  // no system known: taken to be the output's
        SystemDropped,   // in a system, but the output has none
    };
    struct Decision {
        Way way = Way::AsRead;
        int source = -1;  // Reprojected: the index in sources()
    };
    // A system inputs are reprojected from.
    struct Source {
        SpatialReferencePtr srs;
        QString description;
        std::optional<Reprojection> reprojection;  // nullopt: PROJ knows no way
    };

    // The output's system is `chosen`, else the one `outputPrj` (the template's .prj text)
    // names, looked up only when an input needs it: inputs with the very same .prj bytes need no
    // comparing. `assumed`: the system of inputs without a readable .prj (null: none known).
    CoordinateSystemPlan(SpatialReferencePtr chosen, const QByteArray& outputPrj,
                         SpatialReferencePtr assumed);

    // The output's system; null when it has none.
    const SpatialReferencePtr& output();

    // The way of an input whose .prj holds `prj` (nullopt: it has none).
    Decision decide(const std::optional<QByteArray>& prj);

    const std::vector<Source>& sources() const { return m_sources; }

private:
    Decision decideFor(const SpatialReferencePtr& srs);

    std::optional<SpatialReferencePtr> m_output;  // nullopt: not looked up yet
    QByteArray m_outputPrj;
    SpatialReferencePtr m_assumed;
    std::map<QByteArray, Decision> m_byText;
    std::optional<Decision> m_withoutSystem;
    std::vector<Source> m_sources;
};
