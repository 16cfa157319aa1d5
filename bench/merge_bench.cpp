// Runs one merge through the host API, or checks a merge's output against its inputs.
//   conflux_merge_bench merge shp|gpkg INPUT_FOLDER OUTPUT(folder|.gpkg) NAME
//   conflux_merge_bench verify-shp INPUT_FOLDER OUTPUT.shp
//   conflux_merge_bench verify-gpkg INPUT_FOLDER OUTPUT.gpkg LAYER
// The check of a shapefile output compares every shape record and table row as bytes; the
// check of a GeoPackage compares geometries (as WKB) and attribute text of sampled inputs.

#include "merge/MergeEngine.h"
#include "merge/OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdio>

namespace {

QStringList inputsOf(const QString& folder) {
    QStringList paths;
    for (const QString& name : QDir(folder).entryList({"*.shp"}, QDir::Files, QDir::Name)) {
        paths << QDir(folder).filePath(name);
    }
    return paths;
}

int merge(bool geoPackage, const QString& folder, const QString& location, const QString& name) {
    MergeJob job;
    for (const QString& path : inputsOf(folder)) {
        job.inputs.push_back(ShapefileProbe::open(path));
    }
    if (geoPackage && !QFile::exists(location)) {
        GDALAllRegister();
        GDALDatasetUniquePtr(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
            location.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    }
    job.fieldSource = job.inputs.at(0);
    job.shapeType = 4;
    job.output = describeOutput(!geoPackage, location, name);
    MergeEngine engine;
    engine.Merge(job);
    const MergeReport& report = engine.lastReport();
    std::printf("inputs %lld, written %lld, refused %lld, copied as bytes %lld\n",
                static_cast<long long>(report.inputs),
                static_cast<long long>(report.featuresWritten),
                static_cast<long long>(report.refused()),
                static_cast<long long>(report.inputsCopiedAsBytes));
    return report.refused() == 0 ? 0 : 1;
}

void openOrExit(QFile& file) {
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file.fileName()));
        std::exit(2);
    }
}

// Reads the next shape record's content from a .shp stream.
QByteArray nextShape(QFile& shp) {
    const QByteArray header = shp.read(8);
    if (header.size() < 8) {
        return {};
    }
    return shp.read(2 * qFromBigEndian<qint32>(header.constData() + 4));
}

int verifyShapefile(const QString& folder, const QString& output) {
    QFile outShp(output);
    openOrExit(outShp);
    QFile outDbf(output.left(output.size() - 3) + "dbf");
    openOrExit(outDbf);
    outShp.seek(100);
    const QByteArray outHeader = outDbf.read(12);
    outDbf.seek(qFromLittleEndian<quint16>(outHeader.constData() + 8));
    const int recordLength = qFromLittleEndian<quint16>(outHeader.constData() + 10);
    long long records = 0;
    for (const QString& input : inputsOf(folder)) {
        QFile shp(input);
        openOrExit(shp);
        QFile dbf(input.left(input.size() - 3) + "dbf");
        openOrExit(dbf);
        shp.seek(100);
        const QByteArray header = dbf.read(12);
        dbf.seek(qFromLittleEndian<quint16>(header.constData() + 8));
        for (QByteArray shape = nextShape(shp); !shape.isEmpty(); shape = nextShape(shp)) {
            if (nextShape(outShp) != shape || outDbf.read(recordLength) != dbf.read(recordLength)) {
                std::fprintf(stderr, "record %lld of %s differs\n", records, qPrintable(input));
                return 1;
            }
            ++records;
        }
    }
    std::printf("%lld records identical, geometry and text bytes\n", records);
    return nextShape(outShp).isEmpty() ? 0 : 1;
}

int verifyGeoPackage(const QString& folder, const QString& output, const QString& layerName) {
    GDALAllRegister();
    GDALDatasetUniquePtr out(GDALDataset::Open(output.toUtf8().constData(), GDAL_OF_VECTOR));
    OGRLayer* outLayer = out ? out->GetLayerByName(layerName.toUtf8().constData()) : nullptr;
    if (!outLayer) {
        return 2;
    }
    const QStringList inputs = inputsOf(folder);
    long long checked = 0;
    GIntBig fid = 1;
    for (int i = 0; i < inputs.size(); ++i) {
        GDALDatasetUniquePtr in(GDALDataset::Open(inputs[i].toUtf8().constData(), GDAL_OF_VECTOR));
        OGRLayer* layer = in->GetLayer(0);
        const bool sampled = i < 3 || i == inputs.size() - 1;
        if (!sampled) {
            fid += layer->GetFeatureCount();
            continue;
        }
        for (auto& feature : *layer) {
            OGRFeatureUniquePtr merged(outLayer->GetFeature(fid++));
            auto* multi = merged ? merged->GetGeometryRef()->toMultiPolygon() : nullptr;
            const OGRGeometry* geometry = feature->GetGeometryRef();
            std::vector<unsigned char> a(geometry->WkbSize()), b(a.size());
            geometry->exportToWkb(wkbNDR, a.data(), wkbVariantIso);
            multi->getGeometryRef(0)->exportToWkb(wkbNDR, b.data(), wkbVariantIso);
            bool same = a == b && multi->getNumGeometries() == 1;
            for (int f = 0; same && f < feature->GetFieldCount(); ++f) {
                // Reals compare as numbers: a shapefile prints them with its field's decimals.
                same = feature->GetFieldDefnRef(f)->GetType() == OFTReal
                           ? feature->GetFieldAsDouble(f) == merged->GetFieldAsDouble(f)
                           : QByteArray(feature->GetFieldAsString(f)) ==
                                 QByteArray(merged->GetFieldAsString(f));
            }
            if (!same) {
                std::fprintf(stderr, "feature %lld of %s differs\n", checked,
                             qPrintable(inputs[i]));
                return 1;
            }
            ++checked;
        }
    }
    std::printf("%lld sampled features identical, geometry (WKB) and text\n", checked);
    return fid - 1 == outLayer->GetFeatureCount() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const QString command = argc > 1 ? argv[1] : "";
    try {
        if (command == "merge" && argc == 6) {
            return merge(QString(argv[2]) == "gpkg", argv[3], argv[4], argv[5]);
        }
        if (command == "verify-shp" && argc == 4) {
            return verifyShapefile(argv[2], argv[3]);
        }
        if (command == "verify-gpkg" && argc == 5) {
            return verifyGeoPackage(argv[2], argv[3], argv[4]);
        }
    } catch (const ConfluxError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    }
    std::fprintf(stderr, "usage: see the head of merge_bench.cpp\n");
    return 2;
}
