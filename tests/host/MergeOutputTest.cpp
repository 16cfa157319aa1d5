#include "MergeTestSupport.h"

#include "host/GdalErrorCapture.h"
#include "support/ChildProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstring>
#include <functional>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace ShapefileFixture;

QString polygons(const QString& folder, const QString& name, int count) {
    std::vector<ShapefileFixture::Feature> features;
    for (int i = 0; i < count; ++i) {
        features.push_back(
            {QStringLiteral("POLYGON ((%1 0,%1 1,%2 1,%1 0))").arg(i).arg(i + 1).toUtf8(),
             {QString::number(i)}});
    }
    return write(folder, name, "POLYGON", {{"ID", 'N', 9}}, features);
}

// Every file of the folder with its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const QString& name : ShapefileFixture::files(folder)) {
        files[name] = bytesOf(QDir(folder).filePath(name));
    }
    return files;
}

TEST(MergeOutput, YesToReplaceReplacesTheWholeShapefile) {
    QTemporaryDir dir;
    const QString a = polygons(dir.path(), "a", 3);
    QDir().mkdir(dir.filePath("out"));
    polygons(dir.filePath("out"), "merged", 50);
    QFile stale(dir.filePath("out/merged.qix"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    MergeCall{{a}, dir.filePath("out"), "merged"}.run();
    EXPECT_EQ(read(dir.filePath("out/merged.shp")).features.size(), 3u);
    EXPECT_EQ(files(dir.filePath("out")), QStringList({"merged.dbf", "merged.shp", "merged.shx"}));
}

TEST(MergeOutput, CancelMidwayLeavesThePreviousOutputAndNoTemporaryFiles) {
    QTemporaryDir dir;
    const QString a = polygons(dir.path(), "a", 5000);
    const QString b = polygons(dir.path(), "b", 5000);
    QDir().mkdir(dir.filePath("out"));
    polygons(dir.filePath("out"), "merged", 7);
    const auto before = snapshot(dir.filePath("out"));

    MergeCall call{{a, b}, dir.filePath("out"), "merged"};
    double last = 0;
    call.progress = [&](double complete, const QString&) {
        last = complete;
        return complete < 0.6;
    };
    EXPECT_THROW(call.run(), ConfluxError);
    EXPECT_GE(last, 0.6);
    EXPECT_EQ(snapshot(dir.filePath("out")), before);
}

TEST(MergeOutput, ProgressRisesToOne) {
    QTemporaryDir dir;
    const QString a = polygons(dir.path(), "a", 10000);
    const QString b = polygons(dir.path(), "b", 100);
    std::vector<double> seen;
    MergeCall call{{a, b}, dir.path(), "merged"};
    call.progress = [&](double complete, const QString&) {
        seen.push_back(complete);
        return true;
    };
    call.run();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1.0);
    EXPECT_LT(seen.size(), 100u);  // throttled
}

TEST(MergeOutput, OutputThatIsAnInputOrTheFieldSourceIsRefusedUntouched) {
    QTemporaryDir dir;
    const QString a = polygons(dir.path(), "a", 2);
    const QString b = polygons(dir.path(), "B", 2);
    const QString source = polygons(dir.path(), "source", 1);
    const auto before = snapshot(dir.path());
    EXPECT_THROW(MergeCall({a, b}, dir.path(), "b").run(), ConfluxError);

    MergeEngine engine;
    engine.setFieldSource(std::make_shared<ShapefileFeatureClass>(source));
    try {
        MergeCall({a, b}, dir.path(), "source").run(engine);
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_TRUE(error.description().contains("source.shp"));
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(MergeOutput, GeoPackageGetsANewLayerAndRefusesAnExistingOne) {
    QTemporaryDir dir;
    const QString a = polygons(dir.path(), "a", 10);
    const QString b = polygons(dir.path(), "b", 15);
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));

    MergeEngine engine;
    const auto merged = MergeCall({a, b}, gpkg, "parcels", 4, true).run(engine);
    EXPECT_EQ(merged->FeatureCount(), 25);
    EXPECT_EQ(merged->AliasName(), "parcels");
    EXPECT_EQ(merged->ShapeType(), 4);
    const ReadLayer out = read(gpkg, "parcels");
    EXPECT_EQ(out.fieldNames, QStringList({"ID"}));
    EXPECT_EQ(out.features[11].values, QStringList({"1"}));
    EXPECT_EQ(out.features[11].wkt, "MULTIPOLYGON (((1 0,1 1,2 1,1 0)))");
    {
        // The packed spatial index is whole, GDAL uses it, and it follows later edits.
        GDALDatasetUniquePtr dataset(
            GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        OGRLayer* layer = dataset->GetLayerByName("parcels");
        EXPECT_TRUE(layer->TestCapability(OLCFastSpatialFilter));
        layer->SetSpatialFilterRect(1.5, 0.5, 3.5, 0.6);
        EXPECT_EQ(layer->GetFeatureCount(), 6);
        layer->SetSpatialFilter(nullptr);
        OGRFeature added(layer->GetLayerDefn());
        added.SetGeometryDirectly(new OGRPoint(50, 50));
        ASSERT_EQ(layer->CreateFeature(&added), OGRERR_NONE);
        std::unique_ptr<OGRLayer, std::function<void(OGRLayer*)>> check(
            dataset->ExecuteSQL("SELECT rtreecheck('rtree_parcels_Shape'), "
                                "(SELECT count(*) FROM rtree_parcels_Shape)",
                                nullptr, nullptr),
            [&](OGRLayer* result) { dataset->ReleaseResultSet(result); });
        ASSERT_TRUE(check);
        OGRFeatureUniquePtr row(check->GetNextFeature());
        EXPECT_STREQ(row->GetFieldAsString(0), "ok");
        EXPECT_EQ(row->GetFieldAsInteger(1), 26);
    }

    const QByteArray before = bytesOf(gpkg);
    try {
        MergeCall({a}, gpkg, "existing", 4, true).run(engine);
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_TRUE(error.description().contains("existing")) << error.description().toStdString();
    }
    EXPECT_EQ(bytesOf(gpkg), before);
}

TEST(MergeOutput, AccessDatabaseIsRefusedUntouched) {
    QTemporaryDir dir;
    const QString a = polygons(dir.path(), "a", 1);
    QByteArray jet(4096, '\0');
    jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    QFile mdb(dir.filePath("base.mdb"));
    ASSERT_TRUE(mdb.open(QIODevice::WriteOnly));
    mdb.write(jet);
    mdb.close();
    try {
        MergeCall({a}, dir.filePath("base.mdb"), "parcels", 4, true).run();
        FAIL() << "no error";
    } catch (const ConfluxError& error) {
        EXPECT_TRUE(error.description().contains("Access databases cannot be written"));
        EXPECT_TRUE(error.description().contains("GeoPackage"));
    }
    EXPECT_EQ(bytesOf(dir.filePath("base.mdb")), jet);
}

TEST(MergeOutput, TwoThousandInputsUnderAHandleLimitOf256) {
    QTemporaryDir dir;
    QStringList inputs;
    inputs << polygons(dir.path(), "in0", 1);
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
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{256, 256};
        setrlimit(RLIMIT_NOFILE, &limit);
        int code = 1;
        try {
            MergeEngine engine;
            const auto merged = MergeCall(inputs, dir.path(), "merged").run(engine);
            code = merged->FeatureCount() == 2000 && engine.lastReport().featuresWritten == 2000
                       ? 0
                       : 2;
        } catch (...) {
            code = 3;
        }
        _exit(code);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace

namespace {

TEST(MergeOutput, GeoPackageCancelOrCrashLeavesTheFileAsItWasAndTextArrivesAsUtf8) {
    QTemporaryDir dir;
    const QString big = polygons(dir.path(), "big", 6000);
    const QString gpkg = emptyGeoPackage(dir.filePath("store.gpkg"));
    const QByteArray before = bytesOf(gpkg);
    MergeCall cancelled({big, big}, gpkg, "parcels", 4, true);
    cancelled.progress = [](double complete, const QString&) { return complete < 0.5; };
    EXPECT_THROW(cancelled.run(), ConfluxError);
    EXPECT_EQ(bytesOf(gpkg), before);

    // A process that dies halfway leaves a journal; the next opening rolls the layer back.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        MergeCall dying({big, big}, gpkg, "parcels", 4, true);
        dying.progress = [](double complete, const QString&) {
            if (complete >= 0.5) {
                _exit(0);
            }
            return true;
        };
        try {
            dying.run();
        } catch (...) {
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(QFile::exists(gpkg + "-journal"));
    {
        GDALDatasetUniquePtr dataset(
            GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        ASSERT_TRUE(dataset);
        ASSERT_EQ(dataset->GetLayerCount(), 1);
        EXPECT_STREQ(dataset->GetLayer(0)->GetName(), "existing");
    }

    const QString dos =
        write(dir.path(), "dos", "POLYGON", {{"ID", 'N', 9}, {"NAME", 'C', 20}},
              {{"POLYGON ((0 0,0 1,1 1,0 0))", {"1", "Дорога"}}}, Encoding("CP866", "866"));
    MergeCall({dos}, gpkg, "дороги", 4, true).run();
    EXPECT_EQ(read(gpkg, "дороги").features.at(0).values, QStringList({"1", "Дорога"}));
}

}  // namespace

namespace {

// A shapefile that would pass what the format holds is refused as a failure, whether the
// records are copied as bytes or converted; the earlier output stays and nothing is left.
TEST(MergeOutput, PastTheShapefileLimitsTheMergeFailsAndLeavesTheFolderAsItWas) {
    QTemporaryDir dir;
    const QString same = polygons(dir.path(), "same", 300);
    const QString withZ = write(dir.path(), "withz", "POLYGON Z", {{"ID", 'N', 9}},
                                std::vector<ShapefileFixture::Feature>(
                                    300, {"POLYGON Z ((0 0 1,0 1 1,1 1 1,0 0 1))", {"1"}}));
    QDir().mkdir(dir.filePath("out"));
    polygons(dir.filePath("out"), "merged", 7);
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
        MergeEngine engine;
        engine.setShapefileLimits(c.limits);
        try {
            MergeCall({polygons(dir.path(), "template", 1), c.input}, dir.filePath("out"), "merged")
                .run(engine);
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
    const QString big = polygons(dir.path(), "big", 20000);
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
