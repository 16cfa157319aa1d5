#include "discovery/InputNames.h"

#include <gtest/gtest.h>

namespace {

struct NamesCase {
    const char* name;
    QStringList tableNames;
    std::vector<std::int32_t> shapeTypes;
    QStringList points;
    QStringList lines;
    QStringList polygons;
};

class InputNamesByKind : public ::testing::TestWithParam<NamesCase> {};

TEST_P(InputNamesByKind, SplitsDistinctSortedNames) {
    const NamesCase& c = GetParam();
    const auto lists = inputNamesByKind(c.tableNames, c.shapeTypes);
    EXPECT_EQ(lists[0], c.points);
    EXPECT_EQ(lists[1], c.lines);
    EXPECT_EQ(lists[2], c.polygons);
}

const QStringList kEmpty{QString()};

INSTANTIATE_TEST_SUITE_P(
    Cases, InputNamesByKind,
    ::testing::Values(
        NamesCase{"MixedKindsAndNoKind",
                  {"B", "c", "a", "D", "e", "f"},
                  {1, 3, 2, 13, 4, 7},
                  {"a", "B"},
                  {"c", "D"},
                  {"e"}},
        // Distinctness is exact: both spellings stay, in their order after the stable sort.
        NamesCase{"CaseVariantsBothStay",
                  {"Roads", "ROADS", "Roads"},
                  {3, 3, 13},
                  kEmpty,
                  {"Roads", "ROADS"},
                  kEmpty},
        NamesCase{"NoInputs", {}, {}, kEmpty, kEmpty, kEmpty},
        // A build that stopped early describes fewer inputs than it named.
        NamesCase{"NamesWithoutShapeTypeAreLeftOut", {"x", "y"}, {4}, kEmpty, kEmpty, {"x"}},
        NamesCase{"CyrillicSortsIgnoringCase",
                  {"лес", "Дороги", "ВОДА"},
                  {4, 4, 4},
                  kEmpty,
                  kEmpty,
                  {"ВОДА", "Дороги", "лес"}}),
    [](const ::testing::TestParamInfo<NamesCase>& info) { return info.param.name; });

}  // namespace
