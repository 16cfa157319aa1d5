#include "merge/AdmittedInputs.h"

#include <gtest/gtest.h>

namespace {

class FakeTable : public ITable {
public:
    explicit FakeTable(std::int64_t rows) : m_rows(rows) {}
    std::int64_t RowCount() const override { return m_rows; }

private:
    std::int64_t m_rows;
};

const QStringList kNames = {
    "roads_1", QStringLiteral("Дороги"), "ROADS_2", "lakes", "wells", "patch", "roads_z"};
const std::vector<std::int32_t> kTypes = {3, 13, 3, 4, 2, 9, 0};

TEST(AdmittedInputsTest, IndexesInInputOrder) {
    struct Row {
        const char* name;
        QString mask;
        GeometryKind kind;
        std::vector<qsizetype> expected;
    };
    const Row rows[] = {
        {"every line", "*", GeometryKind::Line, {0, 1, 2}},
        {"mask in lower case with blanks", "  roads_? ", GeometryKind::Line, {0, 2}},
        {"Cyrillic mask in another case", QStringLiteral("дОРОГ*"), GeometryKind::Line, {1}},
        {"multipoint is a point", "*", GeometryKind::Point, {4}},
        {"name fits, kind does not", "lakes", GeometryKind::Line, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(admittedIndexes(InputAdmission(row.mask, row.kind), kNames, kTypes), row.expected)
            << row.name;
    }
    EXPECT_THROW(admittedIndexes(InputAdmission("*", GeometryKind::Line), kNames, {3}),
                 ConfluxError)
        << "shape types shorter than the names";
}

TEST(AdmittedInputsTest, TablesAndRowTotalBeyond32Bits) {
    std::vector<std::shared_ptr<ITable>> tables;
    for (std::int64_t rows : {3'000'000'000LL, 5LL, 2'000'000'000LL, 7LL, 1LL, 1LL, 1LL})
        tables.push_back(std::make_shared<FakeTable>(rows));
    const AdmittedInputs admitted =
        admitTables(InputAdmission("roads*", GeometryKind::Line), tables, kNames, kTypes);
    EXPECT_EQ(admitted.indexes, (std::vector<qsizetype>{0, 2}));
    ASSERT_EQ(admitted.tables->Count(), 2);
    EXPECT_EQ(admitted.tables->Element(1), tables[2]);
    EXPECT_EQ(admitted.totalRows, 5'000'000'000LL);
}

TEST(AdmittedInputsTest, AdmittedEntryHoldingNothingIsAnError) {
    const std::vector<std::shared_ptr<ITable>> tables = {nullptr};
    EXPECT_THROW(admitTables(InputAdmission("*", GeometryKind::Line), tables, {"roads"}, {3}),
                 ConfluxError);
    EXPECT_NO_THROW(admitTables(InputAdmission("*", GeometryKind::Polygon), tables, {"roads"}, {3}))
        << "not admitted, not counted";
}

}  // namespace
