#include "merge/AdmittedInputs.h"

#include <gtest/gtest.h>

namespace {

struct FakeTable : ITable {
    explicit FakeTable(std::int64_t rows) : rows(rows) {}
    std::int64_t RowCount() const override { return rows; }
    std::int64_t rows;
};

const QStringList kNames = {"roads_1", "Дороги", "ROADS_2", "lakes", "wells", "patch", "roads_z"};
const std::vector<std::int32_t> kTypes = {3, 13, 3, 4, 2, 9, 0};

TEST(AdmittedInputs, NameByTheFeatureMaskKindByTheShapeType) {
    const struct {
        const char* name;
        const char* mask;
        GeometryKind kind;
        std::vector<qsizetype> admitted;
    } rows[] = {{"lines are codes 3 and 13", "*", GeometryKind::Line, {0, 1, 2}},
                {"mask trimmed, case ignored", "  roads_? ", GeometryKind::Line, {0, 2}},
                {"Cyrillic case ignored", "дОРОГ*", GeometryKind::Line, {1}},
                {"multipoint is a point, 9 and 0 no kind", "*", GeometryKind::Point, {4}},
                {"name fits, kind does not", "lakes", GeometryKind::Line, {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(admittedIndexes(InputAdmission(row.mask, row.kind), kNames, kTypes),
                  row.admitted);
    }
    EXPECT_THROW(admittedIndexes(InputAdmission("*", GeometryKind::Line), kNames, {3}),
                 ConfluxError)
        << "shape types shorter than the names";
    EXPECT_THROW(InputAdmission("[a", GeometryKind::Point), ConfluxError);
    // The first option set wins; none set means points.
    EXPECT_EQ(InputAdmission::chosenKind(false, true, true), GeometryKind::Line);
    EXPECT_EQ(InputAdmission::chosenKind(false, false, true), GeometryKind::Polygon);
    EXPECT_EQ(InputAdmission::chosenKind(false, false, false), GeometryKind::Point);
}

TEST(AdmittedInputs, TablesAndTheirRowTotalBeyond32Bits) {
    std::vector<std::shared_ptr<ITable>> tables;
    for (std::int64_t rows : {3'000'000'000LL, 5LL, 2'000'000'000LL, 7LL, 1LL, 1LL})
        tables.push_back(std::make_shared<FakeTable>(rows));
    tables.push_back(nullptr);  // not admitted, so never counted
    const AdmittedInputs admitted =
        admitTables(InputAdmission("roads*", GeometryKind::Line), tables, kNames, kTypes);
    EXPECT_EQ(admitted.indexes, (std::vector<qsizetype>{0, 2}));
    ASSERT_EQ(admitted.tables->Count(), 2);
    EXPECT_EQ(admitted.tables->Element(1), tables[2]);
    EXPECT_EQ(admitted.totalRows, 5'000'000'000LL);
    tables[0] = nullptr;
    EXPECT_THROW(admitTables(InputAdmission("roads*", GeometryKind::Line), tables, kNames, kTypes),
                 ConfluxError)
        << "an admitted entry holding nothing";
}

}  // namespace
