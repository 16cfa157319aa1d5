// A shapefile merge that replaces an existing output, killed at each moment of its run or
// interrupted by a signal: the old output is whole afterwards (at once, or after the next run
// into the folder), and no hidden file stays behind.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "ManyPoints.h"
#include "platform/DbfFixture.h"
#include "support/ShapefileFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

namespace {

// Every file of the folder, hidden ones too, with a digest of its bytes.
QStringList snapshot(const QString& folder) {
    QStringList files;
    for (const QString& name :
         QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        const QByteArray bytes = ShapefileFixture::bytesOf(QDir(folder).filePath(name));
        files << QStringLiteral("%1 %2 %3").arg(name).arg(bytes.size()).arg(qHash(bytes));
    }
    return files;
}

bool hasHiddenFiles(const QString& folder) {
    return !QDir(folder).entryList({".conflux-*"}, QDir::Files | QDir::Hidden).isEmpty();
}

class InterruptedMerge : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        GDALAllRegister();  // the outputs are read back here
        root = m_dir.filePath("sheets");
        out = m_dir.filePath("out");
        QDir().mkpath(root + "/small");
        QDir().mkpath(root + "/large");
        QDir().mkpath(out);
        manyPoints(root + "/small", "wells", 40);
        manyPoints(root + "/small", "springs", 30);
        // The output to be replaced, with a declaration and a stale index of its own.
        manyPoints(out, "points", 7);
        DbfFixture::write(out + "/points.cpg", "1251");
        DbfFixture::write(out + "/points.qix", "stale");
        before = snapshot(out);
    }

    ChildProcess* replace(const QString& input, const QList<QByteArray>& environment = {}) {
        m_child = std::make_unique<ChildProcess>(
            QList<QByteArray>{"merge", QFile::encodeName(root + '/' + input), "--kind", "point",
                              "--out", QFile::encodeName(out), "--name", "points", "--yes"},
            environment);
        return m_child.get();
    }

    // The next run into the folder, which does not agree to replace: it clears what a killed
    // run left, finds the output that is there and stops.
    void rerun() {
        ChildProcess next({"merge", QFile::encodeName(root + "/small"), "--kind", "point", "--out",
                           QFile::encodeName(out), "--name", "points"});
        ASSERT_TRUE(next.wait(60000));
        EXPECT_EQ(next.exitCode, 8) << next.err.constData();
    }

    // Waits until the run's hidden .shp holds data; false when the run ended first.
    bool waitForWriting(ChildProcess& child) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000) {
            for (const QString& name :
                 QDir(out).entryList({".conflux-*.shp"}, QDir::Files | QDir::Hidden)) {
                if (QFileInfo(QDir(out).filePath(name)).size() > 100000)
                    return true;
            }
            if (child.hasEnded())
                return false;
            QThread::usleep(500);
        }
        return false;
    }

    QTemporaryDir m_dir;
    QString root, out;
    QStringList before;
    std::unique_ptr<ChildProcess> m_child;
};

// Renames: five old files aside (shp, shx, dbf, cpg, qix), then three new ones in place.
TEST_F(InterruptedMerge, KilledAtAnyMomentOfTheReplaceLeavesOldOrNewWholeAfterTheNextRun) {
#ifndef CONFLUX_FAULT_INJECTION
    GTEST_SKIP() << "built without the kill points (CONFLUX_FAULT_INJECTION)";
#endif
    const char* const beforeCommit[] = {"staged",   "journal",  "rename-1", "rename-3",
                                        "rename-5", "rename-6", "rename-8"};
    for (const char* point : beforeCommit) {
        SCOPED_TRACE(point);
        ChildProcess* run = replace("small", {QByteArray("CONFLUX_KILL_AT=") + point});
        ASSERT_TRUE(run->wait(60000));
        ASSERT_EQ(run->termSignal, SIGKILL);
        rerun();
        EXPECT_EQ(snapshot(out), before);
    }

    ChildProcess* run = replace("small", {"CONFLUX_KILL_AT=committed"});
    ASSERT_TRUE(run->wait(60000));
    ASSERT_EQ(run->termSignal, SIGKILL);
    EXPECT_TRUE(hasHiddenFiles(out)) << "the old files were not removed yet";
    rerun();
    EXPECT_EQ(ShapefileFixture::files(out),
              QStringList({"points.dbf", "points.shp", "points.shx"}));
    EXPECT_EQ(ShapefileFixture::read(out + "/points.shp").features.size(), 70u);
}

// A signal that can be caught rolls back at once; a kill leaves files the next run removes.
TEST_F(InterruptedMerge, SignalsWhileWritingLeaveTheOldOutputWhole) {
    manyPoints(root + "/large", "grid", 400000);
    for (const int signal : {SIGTERM, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(strsignal(signal));
        ChildProcess* run = replace("large");
        ASSERT_TRUE(waitForWriting(*run)) << "the merge ended before the signal";
        run->signal(signal);
        ASSERT_TRUE(run->wait(60000));
        if (signal == SIGKILL) {
            EXPECT_TRUE(hasHiddenFiles(out));
            rerun();
        } else {
            EXPECT_EQ(run->exitCode, 130);
            EXPECT_TRUE(run->err.contains("Interrupted: nothing was written.")) << run->err.data();
        }
        EXPECT_EQ(snapshot(out), before);
    }
}

// Every entry under `folder`, sub-folders and hidden ones too, with a digest of each file.
QStringList treeSnapshot(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QByteArray bytes =
            it.fileInfo().isDir() ? "<folder>" : ShapefileFixture::bytesOf(path);
        entries << QStringLiteral("%1 %2 %3")
                       .arg(QDir(folder).relativeFilePath(path))
                       .arg(bytes.size())
                       .arg(qHash(bytes));
    }
    entries.sort();
    return entries;
}

// A File Geodatabase has no transactions: an interrupted merge takes back its new class and
// whatever it changed in the shared tables, file by file.
TEST_F(InterruptedMerge, SignalsLeaveEveryFileOfAFileGeodatabaseAsItWas) {
    manyPoints(root + "/large", "grid", 400000);
    const QString gdb = m_dir.filePath("maps.gdb");
    {
        GDALDatasetUniquePtr dataset(
            GetGDALDriverManager()
                ->GetDriverByName("OpenFileGDB")
                ->Create(gdb.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
        OGRLayer* layer = dataset->CreateLayer("existing", nullptr, wkbPoint, nullptr);
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetGeometryDirectly(new OGRPoint(1, 2));
        ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    const QStringList gdbBefore = treeSnapshot(gdb);
    const QStringList tablesBefore = QDir(gdb).entryList({"*.gdbtable"}, QDir::Files);
    {
        ChildProcess run({"merge", QFile::encodeName(root + "/large"), "--kind", "point", "--gdb",
                          QFile::encodeName(gdb), "--class", "points"});
        // Waits until the new class's table holds data.
        QElapsedTimer clock;
        clock.start();
        bool writing = false;
        while (!writing && !run.hasEnded() && clock.elapsed() < 60000) {
            for (const QFileInfo& table : QDir(gdb).entryInfoList({"*.gdbtable"}, QDir::Files))
                writing =
                    writing || (!tablesBefore.contains(table.fileName()) && table.size() > 100000);
            QThread::usleep(500);
        }
        ASSERT_TRUE(writing) << "the merge ended before the signal";
        run.signal(SIGINT);
        ASSERT_TRUE(run.wait(60000));
        EXPECT_EQ(run.exitCode, 130);
        EXPECT_TRUE(run.err.contains("Interrupted: nothing was written.")) << run.err.data();
        EXPECT_EQ(treeSnapshot(gdb), gdbBefore);
    }
}

}  // namespace
