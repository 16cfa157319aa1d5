#include "merge/MergeProgressTracker.h"

namespace {
constexpr std::int64_t kFeaturesPerReport = 4096;
}

MergeProgressTracker::MergeProgressTracker(const MergeProgress& progress,
                                           std::vector<std::int64_t> inputFeatures)
    : m_progress(progress) {
    m_before.reserve(inputFeatures.size() + 1);
    for (const std::int64_t count : inputFeatures) {
        m_before.push_back(m_total);
        m_total += std::max<std::int64_t>(count, 0);
    }
    m_before.push_back(m_total);
}

void MergeProgressTracker::beginInput(std::size_t index) {
    m_done = m_before[std::min(index, m_before.size() - 1)];
    m_sinceReport = 0;
    m_message = QStringLiteral("Input %1 of %2").arg(index + 1).arg(m_before.size() - 1);
    report(m_total > 0 ? static_cast<double>(m_done) / static_cast<double>(m_total) : 0.0);
}

void MergeProgressTracker::advance(std::int64_t count) {
    m_done += count;
    m_sinceReport += count;
    if (m_sinceReport >= kFeaturesPerReport) {
        m_sinceReport = 0;
        const double complete =
            m_total > 0 ? static_cast<double>(m_done) / static_cast<double>(m_total) : 0.0;
        report(std::min(complete, 1.0));
    }
}

void MergeProgressTracker::finish() {
    if (m_progress) {
        m_progress(1.0, QString());  // the output is in place: too late to cancel
    }
}

void MergeProgressTracker::report(double complete) {
    if (m_progress && !m_progress(complete, m_message)) {
        throw ConfluxError(ErrorNumber::HostFailure, QStringLiteral("The merge was cancelled"));
    }
}
