#include "merge/CoordinateSystemPlan.h"

CoordinateSystemPlan::CoordinateSystemPlan(SpatialReferencePtr chosen, const QByteArray& outputPrj,
                                           SpatialReferencePtr assumed)
    : m_outputPrj(outputPrj), m_assumed(std::move(assumed)) {
    if (chosen) {
        m_output = std::move(chosen);
    } else if (!outputPrj.isEmpty()) {
        m_byText[outputPrj] = Decision{};  // the template's own .prj, byte for byte
    }
}

const SpatialReferencePtr& CoordinateSystemPlan::output() {
    if (!m_output) {
        m_output = SpatialReference::fromPrj(m_outputPrj);
    }
    return *m_output;
}

CoordinateSystemPlan::Decision CoordinateSystemPlan::decide(const std::optional<QByteArray>& text) {
    if (text) {
        if (const auto known = m_byText.find(*text); known != m_byText.end()) {
            return known->second;
        }
        if (const SpatialReferencePtr srs = SpatialReference::fromPrj(*text)) {
            return m_byText[*text] = output() ? decideFor(srs) : Decision{Way::SystemDropped};
        }
    }
    // Without a readable .prj the system is the one the user gave for such inputs, if any.
    if (!m_withoutSystem) {
        m_withoutSystem = !output()   ? Decision{}
                          : m_assumed ? decideFor(m_assumed)
                                      : Decision{Way::TakenAsOutputs};
    }
    return *m_withoutSystem;
}

CoordinateSystemPlan::Decision CoordinateSystemPlan::decideFor(const SpatialReferencePtr& srs) {
    if (SpatialReference::same(*srs, *output())) {
        return {};
    }
    for (std::size_t i = 0; i < m_sources.size(); ++i) {
        if (SpatialReference::same(*srs, *m_sources[i].srs)) {
            return {Way::Reprojected, static_cast<int>(i)};
        }
    }
    m_sources.push_back(
        {srs, SpatialReference::describe(*srs), Reprojection::between(*srs, *output())});
    return {Way::Reprojected, static_cast<int>(m_sources.size() - 1)};
}
