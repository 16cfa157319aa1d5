#pragma once

#include <QStringList>

#include <cstdint>

// What one merge wrote and what it refused, by reason.
struct MergeReport {
    std::int64_t inputs = 0;               // tables handed to the merge
    std::int64_t featuresWritten = 0;      // features in the new output
    std::int64_t otherGeometry = 0;        // refused: geometry does not fit the output's type
    std::int64_t unreadable = 0;           // refused: feature (or whole input) could not be read
    std::int64_t writeErrors = 0;          // refused: the output would not take the feature
    std::int64_t nonFinite = 0;            // refused: a coordinate infinite or not a number
    std::int64_t deletedRecords = 0;       // table rows marked deleted: no features
    std::int64_t unreadableInputs = 0;     // inputs that could not be opened at all
    std::int64_t inputsCopiedAsBytes = 0;  // inputs whose records were copied unchanged
    std::int64_t textShortened = 0;        // written with a text value cut to fit its field
    std::int64_t numbersTooWide = 0;       // written with a number left empty: too wide
    QStringList warnings;                  // what the output noted (a coordinate system's code)

    // Features read but not written.
    std::int64_t refused() const { return otherGeometry + unreadable + writeErrors + nonFinite; }
    // Input records not merged: the refused features and the deleted rows.
    std::int64_t notMerged() const { return refused() + deletedRecords; }
};
