// Loads shapefiles into a new PostGIS table with the PostGIS writer, reading them through GDAL
// (the merge will read them with its own reader), or only reads them, to tell the two costs
// apart; postgis-bench.sh times it against ogrmerge.py into the same server.
//   conflux_postgis_load read FILE.shp...
//   conflux_postgis_load load binary|text CONNINFO TABLE FILE.shp...
//   conflux_postgis_load synthetic binary|text CONNINFO TABLE FEATURES
// `synthetic` loads polygons and values prebuilt in memory: the writer and the server alone.

#include "formats/postgis/PostgisWriter.h"
#include "formats/postgis/SpatialReferenceCode.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QString>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The template's fields as the dBASE table declares them (as far as GDAL tells).
PostgisLayout layoutOf(OGRLayer& layer, const std::string& shpPath) {
    PostgisLayout layout;
    OGRFeatureDefn* definition = layer.GetLayerDefn();
    for (int i = 0; i < definition->GetFieldCount(); ++i) {
        const OGRFieldDefn* field = definition->GetFieldDefn(i);
        const char type = field->GetType() == OFTString ? 'C'
                          : field->GetType() == OFTDate ? 'D'
                                                        : 'N';
        layout.fields.push_back({QString::fromUtf8(field->GetNameRef()), type, field->GetWidth(),
                                 field->GetPrecision()});
    }
    layout.geometryType = wkbMultiPolygon;
    const std::string prj = shpPath.substr(0, shpPath.size() - 4) + ".prj";
    layout.srid = sridFromPrj(QString::fromStdString(prj)).srid;
    return layout;
}

// Hands every feature of one shapefile to `sink` as WKB and values.
template <typename Sink>
bool readFile(const char* path, Sink&& sink) {
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path, GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!dataset) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return false;
    }
    OGRLayer* layer = dataset->GetLayer(0);
    std::vector<unsigned char> wkb;
    std::vector<PostgisValue> values(layer->GetLayerDefn()->GetFieldCount());
    for (auto&& feature : *layer) {
        for (int i = 0; i < static_cast<int>(values.size()); ++i) {
            const OGRFieldDefn* field = feature->GetFieldDefnRef(i);
            if (!feature->IsFieldSetAndNotNull(i)) {
                values[i] = std::monostate{};
            } else if (field->GetType() == OFTString) {
                values[i] = PostgisText{feature->GetFieldAsString(i)};
            } else if (field->GetType() == OFTReal) {
                values[i] = feature->GetFieldAsDouble(i);
            } else {
                values[i] = static_cast<std::int64_t>(feature->GetFieldAsInteger64(i));
            }
        }
        const OGRGeometry* geometry = feature->GetGeometryRef();
        std::string_view bytes;
        if (geometry) {
            wkb.resize(geometry->WkbSize());
            geometry->exportToWkb(wkbNDR, wkb.data(), wkbVariantIso);
            bytes = std::string_view(reinterpret_cast<const char*>(wkb.data()), wkb.size());
        }
        sink(*layer, bytes, values);
    }
    return true;
}

int read(int count, char** paths) {
    std::size_t bytes = 0;
    long features = 0;
    for (int i = 0; i < count; ++i) {
        readFile(paths[i], [&](OGRLayer&, std::string_view wkb, const auto&) {
            bytes += wkb.size();
            ++features;
        });
    }
    std::printf("read %ld features, %zu bytes of WKB\n", features, bytes);
    return 0;
}

int load(const char* format, const char* conninfo, const char* table, int count, char** paths) {
    std::unique_ptr<PostgisWriter> writer;
    long refused = 0;
    try {
        for (int i = 0; i < count; ++i) {
            readFile(paths[i], [&](OGRLayer& layer, std::string_view wkb, const auto& values) {
                if (!writer) {
                    PostgisTarget target;
                    target.table = QString::fromUtf8(table);
                    target.replace = true;
                    writer = std::make_unique<PostgisWriter>(
                        std::make_unique<PgConnection>(QString::fromUtf8(conninfo)), target,
                        layoutOf(layer, paths[0]), PgCancelCheck{},
                        std::strcmp(format, "text") == 0 ? CopyRows::Format::Text
                                                         : CopyRows::Format::Binary);
                }
                refused += writer->add(wkb, values) ? 0 : 1;
            });
        }
        if (!writer) {
            std::fprintf(stderr, "no features\n");
            return 1;
        }
        writer->commit();
    } catch (const PostgisError& error) {
        std::fprintf(stderr, "%s\n", error.description().toUtf8().constData());
        return 1;
    }
    std::printf("wrote %lld features (%ld refused)\n",
                static_cast<long long>(writer->featuresWritten()), refused);
    for (const QString& warning : writer->warnings()) {
        std::printf("warning: %s\n", warning.toUtf8().constData());
    }
    return 0;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Polygons of 10-20 vertices and eight values, like the generated shapefiles' features.
struct SyntheticFeature {
    std::string wkb;
    std::string name;
    std::int64_t id;
    double area;
};

std::vector<SyntheticFeature> syntheticFeatures(int count) {
    std::mt19937 random(17);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<SyntheticFeature> features(count);
    for (int i = 0; i < count; ++i) {
        const int n = 10 + static_cast<int>(random() % 11);
        OGRLinearRing ring;
        const double cx = 500000 + unit(random) * 400000;
        const double cy = 6000000 + unit(random) * 200000;
        for (int k = 0; k < n; ++k) {
            const double angle = -2.0 * M_PI * k / n;
            const double r = 5 + 45 * unit(random);
            ring.addPoint(cx + r * std::cos(angle), cy + r * std::sin(angle));
        }
        ring.closeRings();
        OGRPolygon polygon;
        polygon.addRing(&ring);
        features[i].wkb.resize(polygon.WkbSize());
        polygon.exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(features[i].wkb.data()),
                            wkbVariantIso);
        features[i].name = "Участок №" + std::to_string(i);
        features[i].id = i;
        features[i].area = std::round(unit(random) * 1e7) / 1000.0;
    }
    return features;
}

int synthetic(const char* format, const char* conninfo, const char* table, int count) {
    const std::vector<SyntheticFeature> features = syntheticFeatures(count);
    PostgisLayout layout;
    layout.fields = {{"ID", 'N', 10, 0},   {"NAME", 'C', 40, 0},     {"STREET", 'C', 30, 0},
                     {"KIND", 'C', 20, 0}, {"DISTRICT", 'C', 20, 0}, {"FLOORS", 'N', 4, 0},
                     {"AREA", 'N', 15, 3}, {"HEIGHT", 'N', 8, 2}};
    layout.geometryType = wkbMultiPolygon;
    layout.srid = 32637;
    PostgisTarget target;
    target.table = QString::fromUtf8(table);
    target.replace = true;
    try {
        const auto started = std::chrono::steady_clock::now();
        PostgisWriter writer(
            std::make_unique<PgConnection>(QString::fromUtf8(conninfo)), target, layout,
            PgCancelCheck{},
            std::strcmp(format, "text") == 0 ? CopyRows::Format::Text : CopyRows::Format::Binary);
        std::vector<PostgisValue> values(8);
        for (const SyntheticFeature& feature : features) {
            values = {feature.id,
                      PostgisText{feature.name},
                      PostgisText{"ул. Садовая"},
                      PostgisText{"жилой дом"},
                      PostgisText{"Центральный"},
                      std::int64_t{5},
                      feature.area,
                      12.5};
            writer.add(feature.wkb, values);
        }
        const double sent = secondsSince(started);
        writer.commit();
        std::printf("%s: rows sent in %.2f s, committed and analyzed at %.2f s\n", format, sent,
                    secondsSince(started));
    } catch (const PostgisError& error) {
        std::fprintf(stderr, "%s\n", error.description().toUtf8().constData());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    GDALAllRegister();
    if (argc >= 3 && std::strcmp(argv[1], "read") == 0) {
        return read(argc - 2, argv + 2);
    }
    if (argc >= 6 && std::strcmp(argv[1], "load") == 0) {
        return load(argv[2], argv[3], argv[4], argc - 5, argv + 5);
    }
    if (argc == 6 && std::strcmp(argv[1], "synthetic") == 0) {
        return synthetic(argv[2], argv[3], argv[4], std::atoi(argv[5]));
    }
    std::fprintf(stderr,
                 "usage: %s read FILE.shp...\n"
                 "       %s load binary|text CONNINFO TABLE FILE.shp...\n"
                 "       %s synthetic binary|text CONNINFO TABLE FEATURES\n",
                 argv[0], argv[0], argv[0]);
    return 2;
}
