// A named pipe in the place of a shapefile's companion file: every command ends, and the pipe
// counts as a missing file.
#include "ChildProcess.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr int kTimeoutMs = 60000;
const QByteArray kWgs84 =
    R"(GEOGCS["GCS_WGS_1984",DATUM["D_WGS_1984",SPHEROID["WGS_1984",6378137.0,298.257223563]],)"
    R"(PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]])";

// Two points with a text field, declared CP1251 by .cpg, with a .prj.
void pointShapefile(const QString& folder, const QString& name) {
    ShapefileFixture::write(
        folder, name, "POINT", {{"NAME", 'C', 20}},
        {{"POINT (1 2)", {QStringLiteral("пункт")}}, {"POINT (3 4)", {QStringLiteral("вышка")}}},
        {"CP1251", "1251"});
    QFile prj(QDir(folder).filePath(name + ".prj"));
    ASSERT_TRUE(prj.open(QIODevice::WriteOnly));
    prj.write(kWgs84);
}

struct Outcome {
    bool ended = false;
    int status = -1;
    QString out;
    QString err;
};

Outcome conflux(const QStringList& arguments) {
    QList<QByteArray> bytes;
    for (const QString& argument : arguments)
        bytes.append(argument.toUtf8());
    ChildProcess child(bytes);
    Outcome run;
    run.ended = child.wait(kTimeoutMs);
    run.status = child.exitCode;
    run.out = QString::fromUtf8(child.out);
    run.err = QString::fromUtf8(child.err);
    return run;
}

struct Case {
    const char* companion;
    QString oddRow;  // scan's counts and shape type for the shapefile with the pipe
    int mergeStatus;
    int mergedPoints;  // when the merge succeeds
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.companion;
}

class FifoCompanion : public ::testing::TestWithParam<Case> {};

TEST_P(FifoCompanion, CountsAsMissingInScanAndMerge) {
    const Case& c = GetParam();
    QTemporaryDir dir;
    const QString root = dir.filePath("sheets");
    QDir().mkpath(root);
    pointShapefile(root, "good");
    pointShapefile(root, "odd");
    const QByteArray pipe = QFile::encodeName(root + "/odd." + c.companion);
    ASSERT_EQ(::unlink(pipe.constData()), 0);
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);

    const Outcome scan = conflux({"scan", root});
    ASSERT_TRUE(scan.ended) << "scan hung on odd." << c.companion;
    EXPECT_EQ(scan.status, 0) << scan.err.toStdString();
    EXPECT_TRUE(scan.out.contains(root + "/good.shp\t1\t2\tgood\t1\n")) << scan.out.toStdString();
    EXPECT_TRUE(scan.out.contains(root + "/odd.shp\t" + c.oddRow + "\n")) << scan.out.toStdString();

    QDir().mkpath(dir.filePath("out"));
    const Outcome run = conflux({"merge", root, "--kind", "point", "--source", root + "/good.shp",
                                 "--out", dir.filePath("out")});
    ASSERT_TRUE(run.ended) << "merge hung on odd." << c.companion;
    EXPECT_EQ(run.status, c.mergeStatus) << run.err.toStdString();
    if (c.mergeStatus != 0) {
        EXPECT_TRUE(run.err.contains(root + "/odd.shp")) << run.err.toStdString();
    } else {
        EXPECT_EQ(ShapefileFixture::read(dir.filePath("out/Merge.shp")).features.size(),
                  std::size_t(c.mergedPoints));
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, FifoCompanion,
                         ::testing::Values(Case{"shx", "1\t2\todd\t - ", 10, 0},
                                           Case{"dbf", " - \t - \todd\t1", 0, 4},
                                           Case{"cpg", "1\t2\todd\t1", 0, 4},
                                           Case{"prj", "1\t2\todd\t1", 0, 4}),
                         [](const auto& info) { return std::string(info.param.companion); });

TEST(FileAsRoot, AnswersAsAMissingRoot) {
    QTemporaryDir dir;
    QFile file(dir.filePath("roads.shp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    for (const QString& root : {dir.filePath("roads.shp"), dir.filePath("pipe")}) {
        for (const QStringList& command :
             {QStringList{"scan", root},
              QStringList{"merge", root, "--kind", "line", "--out", dir.path()}}) {
            const Outcome run = conflux(command);
            ASSERT_TRUE(run.ended);
            EXPECT_EQ(run.status, 3);
            EXPECT_EQ(run.err, QStringLiteral("Проверьте существование корневой директории\n"));
        }
    }
}

}  // namespace
