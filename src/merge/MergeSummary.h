#pragma once

#include "host/MergeReport.h"

#include <QString>

#include <cstdint>

// The texts the merge leaves in the dialog's result label.
namespace MergeSummary {

// The label's caption after a merge: four lines joined by CRLF, numbers in plain decimal.
// "not merged" is `totalInputRows` minus `newFeatureCount`.
QString text(std::int64_t inputsMerged, std::int64_t newFeatureCount, std::int64_t totalInputRows);

// The label's tooltip: the features not merged, by reason, so the "not merged" figure can be
// explained (deleted table rows among them), then the features merged with a change (text cut
// to fit its field, a number too wide for it). Reasons with no feature are left out; "none"
// when there is none.
QString refusedByReason(const MergeReport& report);

}  // namespace MergeSummary
