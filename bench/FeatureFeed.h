#pragma once

// What the output benchmarks feed their writers: the features of shapefiles read through GDAL
// (the merge will read them with its own reader), or polygons and values prebuilt in memory
// like those of the generated shapefiles.

#include "formats/TemplateField.h"
#include "formats/TypedValue.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QString>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace FeatureFeed {

// The template's fields as the dBASE table declares them (as far as GDAL tells).
inline std::vector<TemplateField> templateFields(OGRLayer& layer) {
    std::vector<TemplateField> fields;
    OGRFeatureDefn* definition = layer.GetLayerDefn();
    for (int i = 0; i < definition->GetFieldCount(); ++i) {
        const OGRFieldDefn* field = definition->GetFieldDefn(i);
        const char type = field->GetType() == OFTString ? 'C'
                          : field->GetType() == OFTDate ? 'D'
                                                        : 'N';
        fields.push_back({QString::fromUtf8(field->GetNameRef()), type, field->GetWidth(),
                          field->GetPrecision()});
    }
    return fields;
}

// Hands every feature of one shapefile to `sink(layer, wkb, values)`.
template <typename Sink>
bool readShapefile(const char* path, Sink&& sink) {
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path, GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!dataset) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return false;
    }
    OGRLayer* layer = dataset->GetLayer(0);
    std::vector<unsigned char> wkb;
    std::vector<TypedValue> values(layer->GetLayerDefn()->GetFieldCount());
    for (auto&& feature : *layer) {
        for (int i = 0; i < static_cast<int>(values.size()); ++i) {
            const OGRFieldDefn* field = feature->GetFieldDefnRef(i);
            if (!feature->IsFieldSetAndNotNull(i)) {
                values[i] = std::monostate{};
            } else if (field->GetType() == OFTString) {
                values[i] = TextValue{feature->GetFieldAsString(i)};
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

// Reads the shapefiles only, for the cost of GDAL's reading alone.
inline int readOnly(int count, char** paths) {
    std::size_t bytes = 0;
    long features = 0;
    for (int i = 0; i < count; ++i) {
        readShapefile(paths[i], [&](OGRLayer&, std::string_view wkb, const auto&) {
            bytes += wkb.size();
            ++features;
        });
    }
    std::printf("read %ld features, %zu bytes of WKB\n", features, bytes);
    return 0;
}

// The generated shapefiles' fields.
inline std::vector<TemplateField> parcelFields() {
    return {{"ID", 'N', 10, 0},   {"NAME", 'C', 40, 0},     {"STREET", 'C', 30, 0},
            {"KIND", 'C', 20, 0}, {"DISTRICT", 'C', 20, 0}, {"FLOORS", 'N', 4, 0},
            {"AREA", 'N', 15, 3}, {"HEIGHT", 'N', 8, 2}};
}

// A polygon of 10-20 vertices as ISO WKB, and what its eight values are made of.
struct SyntheticFeature {
    std::string wkb;
    std::string name;
    std::int64_t id;
    double area;

    // The values for parcelFields(); the texts point into this feature.
    void values(std::vector<TypedValue>& out) const {
        out = {id,
               TextValue{name},
               TextValue{"ул. Садовая"},
               TextValue{"жилой дом"},
               TextValue{"Центральный"},
               std::int64_t{5},
               area,
               12.5};
    }
};

inline std::vector<SyntheticFeature> syntheticFeatures(int count) {
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

}  // namespace FeatureFeed
