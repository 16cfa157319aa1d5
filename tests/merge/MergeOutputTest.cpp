#include "MergeTestSupport.h"

#include "support/ChildProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstring>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace ShapefileFixture;

// Every file of the folder with its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const QString& name : ShapefileFixture::files(folder)) {
        files[name] = bytesOf(QDir(folder).filePath(name));
    }
    return files;
}

// Progress rises to one, throttled; a cancel leaves the folder as it was, whichever output was
// being written.
TEST(MergeOutput, ProgressRisesAndACancelMidwayLeavesThePreviousOutput) {
    QTemporaryDir dir;
    const QString a = squares(dir.path(), "a", 5000);
    const QString b = squares(dir.path(), "b", 5000);
    QDir().mkdir(dir.filePath("out"));
    squares(dir.filePath("out"), "merged", 7);
    const QString gpkg = emptyGeoPackage(dir.filePath("out/store.gpkg"));
    const auto before = snapshot(dir.filePath("out"));
    for (const bool geoPackage : {false, true}) {
        SCOPED_TRACE(geoPackage ? "GeoPackage" : "shapefile");
        MergeCall call{{a, b}, geoPackage ? gpkg : dir.filePath("out"), "merged", 4, geoPackage};
        double last = 0;
        call.progress = [&](double complete, const QString&) {
            last = complete;
            return complete < 0.6;
        };
        EXPECT_THROW(call.run(), ConfluxError);
        EXPECT_GE(last, 0.6);
        EXPECT_EQ(snapshot(dir.filePath("out")), before);
    }
    std::vector<double> seen;
    MergeCall call{{a, b}, dir.path(), "merged"};
    call.progress = [&](double complete, const QString&) {
        seen.push_back(complete);
        return true;
    };
    call.run();
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1.0);
    EXPECT_TRUE(seen.size() >= 3u && seen.size() < 100u) << seen.size();
}

TEST(MergeOutput, OutputThatIsAnInputOrTheFieldSourceIsRefusedUntouched) {
    QTemporaryDir dir;
    const QString a = squares(dir.path(), "a", 2);
    const QString b = squares(dir.path(), "B", 2);
    const QString source = squares(dir.path(), "source", 1);
    const auto before = snapshot(dir.path());
    EXPECT_THROW(MergeCall({a, b}, dir.path(), "b").run(), ConfluxError);

    try {
        MergeCall call({a, b}, dir.path(), "source");
        call.fieldSource = source;
        call.run();
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_TRUE(error.description().contains("source.shp"));
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(MergeOutput, TwoThousandInputsUnderAHandleLimitOf256) {
    QTemporaryDir dir;
    QStringList inputs;
    inputs << squares(dir.path(), "in0", 1);
    for (int i = 1; i < 2000; ++i) {
        const QString name = QStringLiteral("in%1").arg(i);
        for (const char* extension : {".shp", ".shx", ".dbf"}) {
            // Written plainly: QFile::copy syncs every file to disk.
            QFile copy(dir.filePath(name + extension));
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
            copy.write(bytesOf(dir.filePath(QStringLiteral("in0") + extension)));
        }
        inputs << dir.filePath(name + ".shp");
    }
    const int result = runInChild(300, [&] {
        const rlimit limit{256, 256};
        setrlimit(RLIMIT_NOFILE, &limit);
        MergeEngine engine;
        const auto merged = MergeCall(inputs, dir.path(), "merged").run(engine);
        return merged->FeatureCount() == 2000 && engine.lastReport().featuresWritten == 2000 ? 0
                                                                                             : 2;
    });
    EXPECT_EQ(result, 0);
}

TEST(MergeOutput, GeoPackageOfAProcessThatDiedHalfwayIsRolledBackAtTheNextOpening) {
    QTemporaryDir dir;
    const QString big = squares(dir.path(), "big", 6000);
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    // A process that dies halfway leaves a journal; the next opening rolls the layer back.
    const int died = runInChild(120, [&] {
        MergeCall dying({big, big}, gpkg, "parcels", 4, true);
        dying.progress = [](double complete, const QString&) {
            if (complete >= 0.5) {
                _exit(0);
            }
            return true;
        };
        dying.run();
        return 1;
    });
    ASSERT_EQ(died, 0);
    EXPECT_TRUE(QFile::exists(gpkg + "-journal"));
    {
        GDALDatasetUniquePtr dataset(
            GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        ASSERT_TRUE(dataset);
        ASSERT_EQ(dataset->GetLayerCount(), 1);
        EXPECT_STREQ(dataset->GetLayer(0)->GetName(), "existing");
    }
}

// A shapefile that would pass what the format holds is refused as a failure, whether the
// records are copied as bytes or converted; the earlier output stays and nothing is left.
TEST(MergeOutput, PastTheShapefileLimitsTheMergeFailsAndLeavesTheFolderAsItWas) {
    QTemporaryDir dir;
    const QString same = squares(dir.path(), "same", 300);
    const QString withZ = write(dir.path(), "withz", "POLYGON Z", {{"ID", 'N', 9}},
                                std::vector<ShapefileFixture::Feature>(
                                    300, {"POLYGON Z ((0 0 1,0 1 1,1 1 1,0 0 1))", {"1"}}));
    QDir().mkdir(dir.filePath("out"));
    squares(dir.filePath("out"), "merged", 7);
    const auto before = snapshot(dir.filePath("out"));
    struct Case {
        const char* name;
        QString input;
        ShapefileLimits limits;
        QString message;
    };
    const QString shp = "'" + dir.filePath("out/merged.shp") + "' would exceed the 4 GB";
    const QString dbf = "'" + dir.filePath("out/merged.dbf") + "' would exceed the 2 GB";
    const Case cases[] = {
        {"byte copy", same, {20000, 1 << 30, 1 << 30}, shp},
        {"converted", withZ, {20000, 1 << 30, 1 << 30}, shp},
        {"table", same, {1 << 30, 2000, 1 << 30}, dbf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            MergeCall call({squares(dir.path(), "template", 1), c.input}, dir.filePath("out"),
                           "merged");
            call.limits = c.limits;
            call.run();
            FAIL() << "no error";
        } catch (const ConfluxError& error) {
            EXPECT_TRUE(error.description().startsWith(c.message))
                << error.description().toStdString();
        }
        EXPECT_EQ(snapshot(dir.filePath("out")), before);
    }
}

// A full disk (a file size limit here) while a GeoPackage layer is written: the error names
// the GeoPackage and the system's cause, and the file keeps only what it had.
TEST(MergeOutput, GeoPackageWriteFailureNamesTheFileAndTheCauseAndRollsBack) {
    QTemporaryDir dir;
    const QString big = squares(dir.path(), "big", 20000);
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    const QString expected = QStringLiteral("GeoPackage '%1' cannot be written: %2")
                                 .arg(gpkg, QString::fromLocal8Bit(std::strerror(EFBIG)));
    const rlim_t size = static_cast<rlim_t>(QFileInfo(gpkg).size());
    const int result = runInChild(120, [&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{size + (256 << 10), size + (256 << 10)};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            MergeCall({big}, gpkg, "parcels", 4, true).run();
        } catch (const ConfluxError& error) {
            return error.description() == expected ? 0 : 2;
        }
        return 3;
    });
    EXPECT_EQ(result, 0);
    GDALDatasetUniquePtr dataset(GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR));
    ASSERT_TRUE(dataset);
    EXPECT_EQ(dataset->GetLayerCount(), 1);
}

}  // namespace
