#pragma once

#include "merge/MergeEngine.h"

#include <cstdint>
#include <vector>

// Turns features done into calls of a MergeProgress: weighted by features, throttled, ending at
// 1.0. A false answer of the callback becomes a cancel error.
class MergeProgressTracker {
public:
    MergeProgressTracker(const MergeProgress& progress, std::vector<std::int64_t> inputFeatures);

    // Input `index` begins; the features of earlier inputs count as done.
    void beginInput(std::size_t index);
    // `count` more features of the current input are done.
    void advance(std::int64_t count = 1);
    void finish();

private:
    void report(double complete);

    const MergeProgress& m_progress;
    std::vector<std::int64_t> m_before;  // features of the inputs before input i
    std::int64_t m_total = 0;
    std::int64_t m_done = 0;
    std::int64_t m_sinceReport = 0;
    QString m_message;
};
