#pragma once

#include "host/MergeReport.h"

#include <QString>

#include <cstdint>

// The texts a finished merge shows.

// "Merge success!!!" CRLF "Featurs merged " merged CRLF "new Feature count " newFeatureCount
// CRLF "not merged " (totalRows - newFeatureCount).
QString mergeSummaryText(std::int64_t merged, std::int64_t newFeatureCount, std::int64_t totalRows);

// The features a merge refused, by reason, one CRLF-separated line each:
// "other geometry " n, "unreadable " n, "write error " n; then "inputs not opened " n when
// whole inputs could not be read.
QString refusedByReasonText(const MergeReport& report);
