#pragma once

#include "formats/FieldValueSupport.h"
#include "formats/WkbTestSupport.h"
#include "formats/filegdb/FileGdbWriter.h"

#include <gtest/gtest.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

// A File Geodatabase made by GDAL itself, holding the class "existing" of three points with a
// text field, so that the folder has a user table beside the system tables.
inline QString geodatabaseWithOneClass(const QTemporaryDir& dir, const QString& name = "base.gdb") {
    GDALAllRegister();
    const QString path = dir.filePath(name);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("OpenFileGDB");
    GDALDatasetUniquePtr dataset(
        driver->Create(path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    OGRLayer* layer = dataset->CreateLayer("existing", &srs, wkbPoint, nullptr);
    OGRFieldDefn text("label", OFTString);
    layer->CreateField(&text);
    for (int i = 0; i < 3; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetField(0, "point");
        feature.SetGeometryDirectly(new OGRPoint(30 + i, 50 + i));
        EXPECT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    return path;
}

// Every file under `folder` (hidden ones too) with the start of the SHA-256 of its bytes.
inline QMap<QString, QString> folderHashes(const QString& folder) {
    QMap<QString, QString> hashes;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        hashes.insert(
            QDir(folder).relativeFilePath(path),
            QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                    .toHex()
                                    .left(16)));
    }
    return hashes;
}

// The geodatabase opened read-only by GDAL.
inline GDALDatasetUniquePtr openForReading(const QString& path) {
    const char* const drivers[] = {"OpenFileGDB", nullptr};
    return GDALDatasetUniquePtr(GDALDataset::Open(
        path.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
}

inline FileGdbLayout layout(std::vector<OutputField> fields,
                            OGRwkbGeometryType type = wkbMultiPolygon) {
    FileGdbLayout columns;
    columns.fields = std::move(fields);
    columns.geometryType = type;
    return columns;
}

// Writes `features` into the new class `name` and commits.
inline void write(const QString& gdb, const QString& name, const FileGdbLayout& columns,
                  const std::vector<Feature>& features) {
    FileGdbWriter writer({gdb, name}, columns);
    for (const Feature& feature : features) {
        ASSERT_EQ(writer.add(feature.wkb, feature.values), FileGdbWriter::Added::Written);
    }
    writer.commit();
}

inline std::string isoWkb(const OGRGeometry& geometry) {
    std::string bytes(geometry.WkbSize(), '\0');
    geometry.exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(bytes.data()), wkbVariantIso);
    return bytes;
}
