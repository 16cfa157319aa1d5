#include "merge/InputAdmission.h"

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

TEST(InputAdmissionTest, AdmitsByMaskAndKind) {
    struct Row {
        const char* name;
        QString mask;
        int kind;
        std::vector<qsizetype> expected;
    };
    const Row rows[] = {
        {"every line", "*", 1, {0, 1, 2}},
        {"mask in lower case with blanks", "  roads_? ", 1, {0, 2}},
        {"Cyrillic mask in another case", QStringLiteral("дОРОГ*"), 1, {1}},
        {"polygons only", "*", 2, {3}},
        {"multipoint is a point", "*", 0, {4}},
        {"multipatch and null shape are of no kind", "?A*", 0, {}},
        {"mask matching no kind-fitting input", "lakes", 1, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(admitInputs(kNames, kTypes, row.mask, row.kind), row.expected) << row.name;
}

TEST(InputAdmissionTest, InvalidMaskThrowsNamingIt) {
    try {
        admitInputs(kNames, kTypes, QStringLiteral(" [a- "), 1);
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPattern);
        EXPECT_EQ(error.description(), QStringLiteral("Invalid pattern: [a-"));
    }
}

TEST(InputAdmissionTest, TablesAndRowTotalBeyond32Bits) {
    std::vector<std::shared_ptr<ITable>> tables;
    for (std::int64_t rows : {3'000'000'000LL, 5LL, 2'000'000'000LL, 7LL, 1LL, 1LL, 1LL})
        tables.push_back(std::make_shared<FakeTable>(rows));
    const AdmittedInputs admitted = admitTables(tables, kNames, kTypes, "roads*", 1);
    EXPECT_EQ(admitted.indexes, (std::vector<qsizetype>{0, 2}));
    ASSERT_EQ(admitted.tables->Count(), 2);
    EXPECT_EQ(admitted.tables->Element(1), tables[2]);
    EXPECT_EQ(admitted.totalRows, 5'000'000'000LL);
}

TEST(InputAdmissionTest, AdmittedEntryHoldingNothingIsAnError) {
    const std::vector<std::shared_ptr<ITable>> tables = {nullptr};
    EXPECT_THROW(admitTables(tables, {"roads"}, {3}, "*", 1), ConfluxError);
    EXPECT_NO_THROW(admitTables(tables, {"roads"}, {3}, "*", 2)) << "not admitted, not counted";
}

}  // namespace
