#include "host/CoordinateSystemPlan.h"

CoordinateSystemPlan::CoordinateSystemPlan(SpatialReferencePtr output, const QByteArray& outputPrj,
                                           SpatialReferencePtr assumed)
    : m_output(std::move(output)), m_assumed(std::move(assumed)) {
    if (m_output && !outputPrj.isEmpty()) {
        m_byText[outputPrj] = Decision{};
    }
}

CoordinateSystemPlan::Decision CoordinateSystemPlan::decide(const QString& prjPath) {
    const PrjReading prj = readPrjFile(prjPath);
    if (prj.outcome == PrjReading::Outcome::Read) {
        if (const auto known = m_byText.find(prj.text); known != m_byText.end()) {
            return known->second;
        }
        return m_byText[prj.text] = m_output ? decideFor(prj.srs) : Decision{Way::SystemDropped};
    }
    // Without a readable .prj the system is the one the user gave for such inputs, if any.
    if (!m_withoutSystem) {
        m_withoutSystem = !m_output   ? Decision{}
                          : m_assumed ? decideFor(m_assumed)
                                      : Decision{Way::TakenAsOutputs};
    }
    return *m_withoutSystem;
}

CoordinateSystemPlan::Decision CoordinateSystemPlan::decideFor(const SpatialReferencePtr& srs) {
    if (SpatialReference::same(*srs, *m_output)) {
        return {};
    }
    for (std::size_t i = 0; i < m_sources.size(); ++i) {
        if (SpatialReference::same(*srs, *m_sources[i].srs)) {
            return {Way::Reprojected, static_cast<int>(i)};
        }
    }
    m_sources.push_back(
        {srs, SpatialReference::describe(*srs), Reprojection::between(*srs, *m_output)});
    return {Way::Reprojected, static_cast<int>(m_sources.size() - 1)};
}
