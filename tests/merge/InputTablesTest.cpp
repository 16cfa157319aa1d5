#include "merge/InputTables.h"
#include "support/ShapefileFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString lines(const QString& folder, const QString& name, int count) {
    std::vector<ShapefileFixture::Feature> features(count, {"LINESTRING (0 0,1 1)", {"1"}});
    return ShapefileFixture::write(folder, name, "LINESTRING", {{"N", 'N', 5}}, features);
}

TEST(InputTables, OpenExactlyTheChosenFileIntoTheParallelArrays) {
    QTemporaryDir dir;
    lines(dir.path(), "roads", 2);
    const auto old = GetFCFromFile(lines(dir.path(), "roads.old", 3), 0);
    EXPECT_EQ(old->AliasName(), QStringLiteral("roads.old"));
    EXPECT_EQ(old->FeatureCount(), 3);
    for (const QString& bad :
         {dir.filePath("missing.shp"), QString("roads.shp"), dir.filePath("roads")})
        EXPECT_THROW(GetFCFromFile(bad, 0), ConfluxError) << bad.toStdString();

    std::vector<std::shared_ptr<ITable>> tables;
    QStringList names;
    std::vector<std::int32_t> types;
    addInput(tables, names, types, 0, old);
    addInput(tables, names, types, 1, old);
    EXPECT_EQ(names, (QStringList{"roads.old", "roads.old"}));
    EXPECT_EQ(types, (std::vector<std::int32_t>{3, 3}));
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[1]->RowCount(), 3);
    addInput(tables, names, types, 0, old);  // a shorter rebuild cuts what was left from before
    EXPECT_TRUE(tables.size() == 1 && names.size() == 1 && types.size() == 1);
}

}  // namespace
