#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// What one merge wrote and what it refused, by reason.
struct MergeReport {
    // The features of inputs in one other coordinate system.
    struct Reprojection {
        QString from;              // the system, as "name (EPSG:n)"
        std::int64_t written = 0;  // reprojected and written
        std::int64_t failed = 0;   // refused: a coordinate could not be reprojected
    };

    std::int64_t inputs = 0;                  // tables handed to the merge
    std::int64_t featuresWritten = 0;         // features in the new output
    std::int64_t otherGeometry = 0;           // refused: geometry does not fit the output's type
    std::int64_t unreadable = 0;              // refused: feature (or whole input) could not be read
    std::int64_t nonFinite = 0;               // refused: a coordinate infinite or not a number
    std::int64_t deletedRecords = 0;          // table rows marked deleted: no features
    std::int64_t unreadableInputs = 0;        // inputs that could not be opened at all
    std::int64_t inputsCopiedAsBytes = 0;     // inputs whose records were copied unchanged
    std::int64_t textShortened = 0;           // written with a text value cut to fit its field
    std::int64_t numbersTooWide = 0;          // written with a number left empty: too wide
    std::int64_t notConvertible = 0;          // written with a value of another type left empty
    std::int64_t numbersRounded = 0;          // written with a number rounded to its field
    std::int64_t withoutAttributes = 0;       // written without values: no table row to read
    std::vector<Reprojection> reprojections;  // by source system, in the order first met
    std::int64_t takenAsOutputs = 0;  // written from inputs without a system, taken as the output's
    std::int64_t systemDropped = 0;   // written from inputs with a system into an output without
    QStringList warnings;             // what the output noted (a coordinate system's code)

    // Features refused because a coordinate could not be reprojected.
    std::int64_t notReprojected() const {
        std::int64_t failed = 0;
        for (const Reprojection& reprojection : reprojections) {
            failed += reprojection.failed;
        }
        return failed;
    }
    // Features read but not written.
    std::int64_t refused() const {
        return otherGeometry + unreadable + nonFinite + notReprojected();
    }
    // Input records not merged: the refused features and the deleted rows.
    std::int64_t notMerged() const { return refused() + deletedRecords; }
};
