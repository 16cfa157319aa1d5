#include "merge/InputAdmission.h"
#include "merge/MergeSummary.h"

#include "errors/ConfluxError.h"

#include <gtest/gtest.h>

namespace {

struct AdmissionCase {
    const char* name;
    const char* mask;
    GeometryKind kind;
    const char* tableName;
    std::int32_t shapeType;
    bool admitted;
};

class Admission : public testing::TestWithParam<AdmissionCase> {};

TEST_P(Admission, MatchesNameAndKind) {
    const AdmissionCase& row = GetParam();
    EXPECT_EQ(InputAdmission(row.mask, row.kind).admits(row.tableName, row.shapeType),
              row.admitted);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Admission,
    testing::Values(AdmissionCase{"LowerCaseMaskWithBlanks", "  road* ", GeometryKind::Line,
                                  "Roads_2", 3, true},
                    AdmissionCase{"LineCode13", "*", GeometryKind::Line, "x", 13, true},
                    AdmissionCase{"MultipointIsPointKind", "*", GeometryKind::Point, "x", 2, true},
                    AdmissionCase{"OtherKind", "*", GeometryKind::Polygon, "x", 3, false},
                    AdmissionCase{"MultipatchNever", "*", GeometryKind::Point, "x", 9, false},
                    AdmissionCase{"NullShapeNever", "*", GeometryKind::Point, "x", 0, false},
                    AdmissionCase{"NameMismatch", "roads", GeometryKind::Line, "roads2", 3, false},
                    AdmissionCase{"CyrillicCaseIgnored", "дороги*", GeometryKind::Line, "ДОРОГИ_1",
                                  3, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Admission, InvalidMaskIsAnError) {
    try {
        InputAdmission("[a", GeometryKind::Point);
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPattern);
    }
}

TEST(Admission, ChosenKindIsTheFirstSetOption) {
    EXPECT_EQ(InputAdmission::chosenKind(false, false, true), GeometryKind::Polygon);
    EXPECT_EQ(InputAdmission::chosenKind(false, true, true), GeometryKind::Line);
    EXPECT_EQ(InputAdmission::chosenKind(false, false, false), GeometryKind::Point);
}

TEST(MergeSummaryText, FourLinesJoinedByCrLf) {
    EXPECT_EQ(MergeSummary::text(2, 25, 25),
              "Merge success!!!\r\nFeaturs merged 2\r\nnew Feature count 25\r\nnot merged 0");
    EXPECT_EQ(MergeSummary::text(1, 3000000000, 3000000007).section("\r\n", 3), "not merged 7");
}

TEST(MergeSummaryText, TooltipListsRefusedFeaturesByReason) {
    MergeReport report;
    EXPECT_EQ(MergeSummary::refusedByReason(report), "Not merged, by reason:\nnone");
    report.otherGeometry = 3;
    report.writeErrors = 1;
    EXPECT_EQ(MergeSummary::refusedByReason(report),
              "Not merged, by reason:\nother geometry: 3\nwrite error: 1");
}

}  // namespace
