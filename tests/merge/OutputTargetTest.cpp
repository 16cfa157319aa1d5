#include "merge/OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(OutputTargetTest, ChecksMessagesAndDescription) {
    QTemporaryDir dir;
    const QString path = dir.path();
    QFile(path + "/roads.shp").open(QIODevice::WriteOnly);
    QFile(path + "/base.GpKg").open(QIODevice::WriteOnly);
    QFile(path + "/old.mdb").open(QIODevice::WriteOnly);
    QDir(path).mkdir(QStringLiteral("folder.gpkg"));

    EXPECT_EQ(checkShapefileOutput(path, "rivers"), OutputCheck::Ready);
    EXPECT_EQ(checkShapefileOutput(path, "roads"), OutputCheck::ExistingShapefile);
    EXPECT_EQ(checkShapefileOutput(path + "/none", "roads"), OutputCheck::MissingFolder);
    EXPECT_EQ(checkShapefileOutput(QString(), "roads"), OutputCheck::MissingFolder);
    EXPECT_EQ(checkGeodatabaseOutput(path + "/base.GpKg"), OutputCheck::Ready);
    EXPECT_EQ(checkGeodatabaseOutput(path + "/old.mdb"), OutputCheck::Ready);
    EXPECT_EQ(checkGeodatabaseOutput(path + "/roads.shp"), OutputCheck::MissingGeodatabase);
    EXPECT_EQ(checkGeodatabaseOutput(path + "/folder.gpkg"), OutputCheck::MissingGeodatabase);
    EXPECT_EQ(checkGeodatabaseOutput(path + "/new.gpkg"), OutputCheck::MissingGeodatabase);

    EXPECT_EQ(missingFolderText("/x"), QStringLiteral("Directory /x is not exist!!"));
    EXPECT_EQ(missingGeodatabaseText("/x.gpkg"), QStringLiteral("File  /x.gpkg is not exist!!"));
    EXPECT_EQ(replaceQuestionText("/out", "roads"),
              QStringLiteral("Файл /out/roads.shp существует \r\nЗаменить?"));

    const auto output = describeOutput(false, "/x.gpkg", "roads", 3);
    EXPECT_EQ(output->FeatureType(), 1);
    EXPECT_EQ(output->ShapeFieldName(), QStringLiteral("Shape"));
    EXPECT_EQ(output->ShapeType(), 3);
    EXPECT_EQ(output->Name(), QStringLiteral("roads"));
    EXPECT_EQ(output->WorkspaceName()->WorkspaceFactoryProgID(), WorkspaceName::GeodatabaseFactory);
    EXPECT_EQ(output->WorkspaceName()->PathName(), QStringLiteral("/x.gpkg"));
}
