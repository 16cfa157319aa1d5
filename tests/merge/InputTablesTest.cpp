#include "ShapefileFixture.h"
#include "merge/InputTables.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString lines(const QString& folder, const QString& name, int count) {
    std::vector<ShapefileFixture::Feature> features;
    for (int i = 0; i < count; ++i)
        features.push_back({"LINESTRING (0 0,1 1)", {QString::number(i)}});
    return ShapefileFixture::write(folder, name, "LINESTRING", {{"N", 'N', 5}}, features);
}

TEST(InputTablesTest, OpensExactlyTheChosenFile) {
    QTemporaryDir dir;
    lines(dir.path(), "roads", 2);
    const QString old = lines(dir.path(), "roads.old", 3);
    const auto featureClass = GetFCFromFile(old, 0);
    EXPECT_EQ(featureClass->AliasName(), QStringLiteral("roads.old"));
    EXPECT_EQ(featureClass->FeatureCount(), 3);
    EXPECT_THROW(GetFCFromFile(dir.filePath("missing.shp"), 0), ConfluxError);
    EXPECT_THROW(GetFCFromFile(QStringLiteral("roads.shp"), 0), ConfluxError) << "no folder";
    EXPECT_THROW(GetFCFromFile(dir.filePath("roads"), 0), ConfluxError) << "no extension";
}

TEST(InputTablesTest, AddInputGrowsAndShrinksTheParallelArrays) {
    QTemporaryDir dir;
    const auto roads = GetFCFromFile(lines(dir.path(), "roads", 2), 0);
    std::vector<std::shared_ptr<ITable>> tables;
    QStringList names;
    std::vector<std::int32_t> types;
    addInput(tables, names, types, 0, roads);
    addInput(tables, names, types, 1, roads);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(names, (QStringList{"roads", "roads"}));
    EXPECT_EQ(types, (std::vector<std::int32_t>{3, 3}));
    EXPECT_EQ(tables[1]->RowCount(), 2);
    addInput(tables, names, types, 0, roads);
    EXPECT_EQ(tables.size(), 1u) << "a shorter rebuild cuts the entries left from before";
    EXPECT_EQ(names.size(), 1);
    EXPECT_EQ(types.size(), 1u);
}

}  // namespace
