#pragma once

#include "merge/MergeReport.h"

#include <QString>

#include <cstdint>

// The texts the merge leaves in the dialog's result label.
namespace MergeSummary {

// The label's caption after a merge: four lines joined by CRLF, numbers in plain decimal.
// "not merged" is `totalInputRows` minus `newFeatureCount`.
QString text(std::int64_t inputsMerged, std::int64_t newFeatureCount, std::int64_t totalInputRows);

// The label's tooltip: the features not merged, by reason, so the "not merged" figure can be
// explained (deleted table rows among them; "none" when there is none), then, under "Merged
// with a change:", the features written other than as read (reprojected, by source system; a
// text cut to fit its field; ...). Reasons with no feature are left out.
QString refusedByReason(const MergeReport& report);

}  // namespace MergeSummary
