// New empty geodatabases: each kind opens in GDAL as what its ending says, a GeoPackage passes
// GDAL's own validator, and a path that is taken or cannot be written is refused untouched.
#include "errors/ConfluxError.h"
#include "formats/NewGeodatabase.h"

#include <gtest/gtest.h>

#include <gdal_priv.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

namespace {
// The driver GDAL opens `path` with, for writing as the merge does, and its layer count; empty
// when it does not open. (GDAL opens a GeoPackage without layers only for writing.)
std::pair<std::string, int> opened(const QString& path) {
    GDALAllRegister();
    const GDALDatasetUniquePtr dataset(
        GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
    if (!dataset) {
        return {"", 0};
    }
    return {dataset->GetDriver()->GetDescription(), dataset->GetLayerCount()};
}

QStringList entries(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QString failureOf(const QString& path) {
    try {
        createGeodatabase(path);
    } catch (const ConfluxError& error) {
        return error.description();
    }
    return {};
}
}  // namespace

TEST(NewGeodatabaseTest, EachEndingMakesItsKindEmpty) {
    const QTemporaryDir dir;
    const struct {
        const char* name;
        const char* driver;
    } cases[] = {{"base.gpkg", "GPKG"},
                 {"BASE2.GPKG", "GPKG"},
                 {"base.gdb", "OpenFileGDB"},
                 {"Карты.GDB", "OpenFileGDB"}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const QString path = dir.filePath(QString::fromUtf8(test.name));
        createGeodatabase(path);
        EXPECT_EQ(opened(path), std::make_pair(std::string(test.driver), 0));
    }
    EXPECT_EQ(entries(dir.path()),
              (QStringList{"BASE2.GPKG", "base.gdb", "base.gpkg", "Карты.GDB"}));  // nothing hidden

    QProcess validator;
    validator.start("/usr/bin/python3",
                    {"/usr/lib/python3/dist-packages/osgeo_utils/samples/validate_gpkg.py",
                     dir.filePath("base.gpkg")});
    ASSERT_TRUE(validator.waitForFinished(60000));
    EXPECT_EQ(validator.exitCode(), 0) << validator.readAllStandardError().toStdString();
}

TEST(NewGeodatabaseTest, WhatCannotBeMadeIsRefusedUntouched) {
    const QTemporaryDir dir;
    QFile taken(dir.filePath("taken.gpkg"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("mine");
    taken.close();
    QDir(dir.path()).mkdir("taken.gdb");
    QDir(dir.path()).mkdir("readonly");
    QFile::setPermissions(dir.filePath("readonly"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const struct {
        const char* name;
        QString path;
    } cases[] = {
        {"ExistingFile", dir.filePath("taken.gpkg")},
        {"ExistingFolder", dir.filePath("taken.gdb")},
        {"MissingFolder", dir.filePath("missing/base.gpkg")},
        {"OtherEnding", dir.filePath("base.mdb")},
        {"NoEnding", dir.filePath("base")},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const QString failure = failureOf(test.path);
        EXPECT_TRUE(failure.startsWith("Cannot create '" + test.path + "': "))
            << failure.toStdString();
    }
    EXPECT_EQ(entries(dir.path()), (QStringList{"readonly", "taken.gdb", "taken.gpkg"}));
    EXPECT_EQ(entries(dir.filePath("taken.gdb")), QStringList());
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "mine");
    if (::geteuid() != 0) {  // permissions do not hold back root
        EXPECT_FALSE(failureOf(dir.filePath("readonly/base.gdb")).isEmpty());
        EXPECT_EQ(entries(dir.filePath("readonly")), QStringList());
    }
}
