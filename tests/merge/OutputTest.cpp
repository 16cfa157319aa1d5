#include "merge/MergeSummary.h"
#include "merge/OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The dialog's tests check the texts of the usual cases; these are the counts beyond 32 bits
// and every reason a feature is not merged or merged with a change.
TEST(Output, SummaryTexts) {
    EXPECT_EQ(MergeSummary::text(1, 3000000000, 3000000007).section("\r\n", 3), "not merged 7");
    MergeReport report;
    EXPECT_EQ(MergeSummary::refusedByReason(report), "Not merged, by reason:\nnone");
    report.otherGeometry = 3;
    report.unreadableInputs = 2;
    EXPECT_EQ(MergeSummary::refusedByReason(report),
              "Not merged, by reason:\nother geometry: 3\n(inputs that could not be opened: 2)");
    report = MergeReport{};
    report.deletedRecords = 4;
    report.nonFinite = 1;
    report.textShortened = 117;
    report.reprojections = {{"WGS 84 (EPSG:4326)", 10, 1}, {"Pulkovo 1942 (EPSG:4284)", 5, 0}};
    report.takenAsOutputs = 6;
    EXPECT_EQ(MergeSummary::refusedByReason(report),
              "Not merged, by reason:\nnon-finite coordinate: 1\ndeleted records: 4\n"
              "could not be reprojected from WGS 84 (EPSG:4326): 1\n"
              "Merged with a change:\nreprojected from WGS 84 (EPSG:4326): 10\n"
              "reprojected from Pulkovo 1942 (EPSG:4284): 5\n"
              "no coordinate system (taken as the output's): 6\ntext shortened: 117");
    EXPECT_EQ(report.notMerged(), 6);
}
