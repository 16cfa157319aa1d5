#pragma once

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

// Values and geometries as the writer takes them.
namespace Value {
inline FieldValue text(std::string_view utf8) {
    FieldValue value;
    value.type = FieldValue::Type::Text;
    value.text = QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return value;
}
inline FieldValue integer(std::int64_t number) {
    FieldValue value;
    value.type = FieldValue::Type::Integer;
    value.integer = number;
    return value;
}
}  // namespace Value

// A square of side 10 at `x`, `y` as a multipolygon in ISO WKB.
inline std::string multiPolygonWkb(double x, double y) {
    OGRMultiPolygon squares;
    OGRPolygon square;
    OGRLinearRing ring;
    for (const auto& [dx, dy] : {std::pair{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}) {
        ring.addPoint(x + dx, y + dy);
    }
    square.addRing(&ring);
    squares.addGeometry(&square);
    std::string bytes(squares.WkbSize(), '\0');
    squares.exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(bytes.data()), wkbVariantIso);
    return bytes;
}

struct Feature {
    std::string wkb;
    std::vector<FieldValue> values;
};

// `count` squares on a grid of 50 columns, 20 apart, without values.
inline std::vector<Feature> squares(int count) {
    std::vector<Feature> features;
    for (int i = 0; i < count; ++i) {
        features.push_back({multiPolygonWkb((i % 50) * 20.0, (i / 50) * 20.0), {}});
    }
    return features;
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
