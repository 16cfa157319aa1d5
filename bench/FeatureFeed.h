#pragma once

// What the output benchmarks feed their writers: the features of shapefiles read through GDAL
// (the merge will read them with its own reader), or polygons and values prebuilt in memory
// like those of the generated shapefiles. Polygons go as MultiPolygon WKB, as the merge
// writes them.

#include "formats/OutputSchema.h"
#include "formats/RowMapper.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QString>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace FeatureFeed {

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The template's fields as the dBASE table declares them (as far as GDAL tells).
inline std::vector<OutputField> templateFields(OGRLayer& layer) {
    std::vector<OutputField> fields;
    OGRFeatureDefn* definition = layer.GetLayerDefn();
    for (int i = 0; i < definition->GetFieldCount(); ++i) {
        const OGRFieldDefn* defined = definition->GetFieldDefn(i);
        const char type = defined->GetType() == OFTString ? 'C'
                          : defined->GetType() == OFTDate ? 'D'
                                                          : 'N';
        fields.push_back(OutputField::named(QString::fromUtf8(defined->GetNameRef()), type,
                                            defined->GetWidth(), defined->GetPrecision()));
    }
    return fields;
}

inline FieldValue textValue(QByteArrayView utf8) {
    FieldValue value;
    value.type = FieldValue::Type::Text;
    value.text = utf8;
    return value;
}

// Field `i` of `feature` as the row mapper gives it; `scratch` holds a date's text.
inline FieldValue valueOf(OGRFeature& feature, int i, std::string& scratch) {
    FieldValue value;
    if (!feature.IsFieldSetAndNotNull(i)) {
        return value;
    }
    switch (feature.GetFieldDefnRef(i)->GetType()) {
        case OFTString:
            return textValue(feature.GetFieldAsString(i));
        case OFTReal:
            value.type = FieldValue::Type::Real;
            value.real = feature.GetFieldAsDouble(i);
            return value;
        case OFTDate: {
            int year = 0, month = 0, day = 0, hour = 0, minute = 0, zone = 0;
            float second = 0;
            feature.GetFieldAsDateTime(i, &year, &month, &day, &hour, &minute, &second, &zone);
            char text[16];
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
            scratch = text;
            value.type = FieldValue::Type::Date;
            value.text = scratch;
            return value;
        }
        default:
            value.type = FieldValue::Type::Integer;
            value.integer = feature.GetFieldAsInteger64(i);
            return value;
    }
}

inline void appendWkb(const OGRGeometry& geometry, std::string& out) {
    out.resize(geometry.WkbSize());
    geometry.exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(out.data()), wkbVariantIso);
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
    std::string wkb;
    std::vector<FieldValue> values(layer->GetLayerDefn()->GetFieldCount());
    std::vector<std::string> dates(values.size());
    for (auto&& feature : *layer) {
        for (int i = 0; i < static_cast<int>(values.size()); ++i) {
            values[i] = valueOf(*feature, i, dates[i]);
        }
        wkb.clear();
        if (OGRGeometry* geometry = feature->StealGeometry()) {
            const std::unique_ptr<OGRGeometry> multi(
                OGRGeometryFactory::forceToMultiPolygon(geometry));
            appendWkb(*multi, wkb);
        }
        sink(*layer, QByteArrayView(wkb), values);
    }
    return true;
}

// Reads the shapefiles only, for the cost of GDAL's reading alone.
inline int readOnly(int count, char** paths) {
    std::size_t bytes = 0;
    long features = 0;
    for (int i = 0; i < count; ++i) {
        readShapefile(paths[i], [&](OGRLayer&, QByteArrayView wkb, const auto&) {
            bytes += static_cast<std::size_t>(wkb.size());
            ++features;
        });
    }
    std::printf("read %ld features, %zu bytes of WKB\n", features, bytes);
    return 0;
}

// Loads the shapefiles into the writer `open(layer)` makes for the first one's layer, and
// commits. `add(writer, wkb, values)`: false for a feature the writer refused.
template <typename Error, typename Open, typename Add>
int loadShapefiles(int count, char** paths, Open&& open, Add&& add) {
    decltype(open(std::declval<OGRLayer&>())) writer;
    long refused = 0;
    try {
        for (int i = 0; i < count; ++i) {
            readShapefile(paths[i], [&](OGRLayer& layer, QByteArrayView wkb, const auto& values) {
                if (!writer) {
                    writer = open(layer);
                }
                refused += add(*writer, wkb, values) ? 0 : 1;
            });
        }
        if (!writer) {
            std::fprintf(stderr, "no features\n");
            return 1;
        }
        writer->commit();
    } catch (const Error& error) {
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

// The generated shapefiles' fields.
inline std::vector<OutputField> parcelFields() {
    return {OutputField::named("ID", 'N', 10),       OutputField::named("NAME", 'C', 40),
            OutputField::named("STREET", 'C', 30),   OutputField::named("KIND", 'C', 20),
            OutputField::named("DISTRICT", 'C', 20), OutputField::named("FLOORS", 'N', 4),
            OutputField::named("AREA", 'N', 15, 3),  OutputField::named("HEIGHT", 'N', 8, 2)};
}

// A polygon of 10-20 vertices as ISO WKB, and what its eight values are made of.
struct SyntheticFeature {
    std::string wkb;
    std::string name;
    std::int64_t id;
    std::string area;  // as the table writes it

    // The values for parcelFields(); the texts point into this feature.
    void values(std::vector<FieldValue>& out) const {
        const auto number = [](std::int64_t integer) {
            FieldValue value;
            value.type = FieldValue::Type::Integer;
            value.integer = integer;
            return value;
        };
        const auto real = [](QByteArrayView text) {
            FieldValue value;
            value.type = FieldValue::Type::Real;
            value.real = text.toDouble();
            value.text = text;
            return value;
        };
        out = {number(id),
               textValue(name),
               textValue("ул. Садовая"),
               textValue("жилой дом"),
               textValue("Центральный"),
               number(5),
               real(area),
               real("12.50")};
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
        auto polygon = std::make_unique<OGRPolygon>();
        polygon->addRing(&ring);
        OGRMultiPolygon multi;
        multi.addGeometryDirectly(polygon.release());
        appendWkb(multi, features[i].wkb);
        features[i].name = "Участок №" + std::to_string(i);
        features[i].id = i;
        char area[32];
        std::snprintf(area, sizeof area, "%.3f", std::round(unit(random) * 1e7) / 1000.0);
        features[i].area = area;
    }
    return features;
}

// Adds `features` to `writer`, calling `each(i)` after the i-th.
template <typename Writer, typename Each>
void addAll(Writer& writer, const std::vector<SyntheticFeature>& features, Each&& each) {
    std::vector<FieldValue> values;
    for (std::size_t i = 0; i < features.size(); ++i) {
        features[i].values(values);
        writer.add(features[i].wkb, values);
        each(i);
    }
}

}  // namespace FeatureFeed
