#include "merge/MergeSummary.h"
#include "merge/OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(MergeTextsTest, SummaryAndRefusedByReason) {
    EXPECT_EQ(mergeSummaryText(2, 25, 25),
              QStringLiteral("Merge success!!!\r\nFeaturs merged 2\r\nnew Feature count 25\r\n"
                             "not merged 0"));
    EXPECT_EQ(mergeSummaryText(3, 5'000'000'000LL, 5'000'000'007LL).section("\r\n", 3),
              QStringLiteral("not merged 7"));
    MergeReport report;
    report.otherGeometry = 3;
    report.writeErrors = 1;
    EXPECT_EQ(refusedByReasonText(report),
              QStringLiteral("other geometry 3\r\nunreadable 0\r\nwrite error 1"));
    report.unreadableInputs = 2;
    EXPECT_TRUE(refusedByReasonText(report).endsWith(QStringLiteral("\r\ninputs not opened 2")));
}

TEST(MergeTextsTest, OutputChecksAndMessages) {
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
