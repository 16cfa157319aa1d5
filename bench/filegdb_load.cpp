// Writes a new feature class into a File Geodatabase with the File Geodatabase writer, from
// shapefiles read through GDAL (the merge will read them with its own reader) or from features
// prebuilt in memory, or only reads the shapefiles, to tell the costs apart; filegdb-bench.sh
// times it against ogrmerge.py -f OpenFileGDB.
//   conflux_filegdb_load read FILE.shp...
//   conflux_filegdb_load load GDB CLASS FILE.shp...
//   conflux_filegdb_load synthetic GDB CLASS FEATURES
// `synthetic` times the writer alone on polygons and values prebuilt in memory, and prints the
// resident memory the writer added on top of them.

#include "FeatureFeed.h"
#include "ResidentMemory.h"
#include "formats/filegdb/FileGdbWriter.h"
#include "gdal/SpatialReference.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

FileGdbLayout layoutOf(OGRLayer& layer) {
    FileGdbLayout layout;
    layout.fields = FeatureFeed::templateFields(layer);
    layout.geometryType = wkbMultiPolygon;
    layout.spatialReference = SpatialReference::clone(layer.GetSpatialRef());
    return layout;
}

int load(const char* gdb, const char* name, int count, char** paths) {
    return FeatureFeed::loadShapefiles<FileGdbError>(
        count, paths,
        [&](OGRLayer& layer) {
            return std::make_unique<FileGdbWriter>(
                FileGdbTarget{QString::fromUtf8(gdb), QString::fromUtf8(name)}, layoutOf(layer));
        },
        [](FileGdbWriter& writer, QByteArrayView wkb, const auto& values) {
            return writer.add(wkb, values) == FileGdbWriter::Added::Written;
        });
}

int synthetic(const char* gdb, const char* name, int count) {
    const auto features = FeatureFeed::syntheticFeatures(count);
    FileGdbLayout layout;
    layout.fields = FeatureFeed::parcelFields();
    layout.geometryType = wkbMultiPolygon;
    auto srs = std::make_shared<OGRSpatialReference>();
    srs->importFromEPSG(32637);
    layout.spatialReference = srs;
    const long baseline = residentKilobytes();
    long peak = baseline;
    try {
        const auto started = std::chrono::steady_clock::now();
        FileGdbWriter writer({QString::fromUtf8(gdb), QString::fromUtf8(name)}, layout);
        const double created = FeatureFeed::secondsSince(started);
        FeatureFeed::addAll(writer, features, [&peak](std::size_t i) {
            if (i % 10000 == 0) {
                peak = std::max(peak, residentKilobytes());
            }
        });
        const double added = FeatureFeed::secondsSince(started);
        writer.commit();
        peak = std::max(peak, residentKilobytes());
        std::printf(
            "%d features: class created in %.3f s, features added by %.2f s, committed "
            "(spatial index) by %.2f s; the writer's own memory %ld KiB\n",
            count, created, added, FeatureFeed::secondsSince(started), peak - baseline);
    } catch (const FileGdbError& error) {
        std::fprintf(stderr, "%s\n", error.description().toUtf8().constData());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    GDALAllRegister();
    if (argc >= 3 && std::strcmp(argv[1], "read") == 0) {
        return FeatureFeed::readOnly(argc - 2, argv + 2);
    }
    if (argc >= 5 && std::strcmp(argv[1], "load") == 0) {
        return load(argv[2], argv[3], argc - 4, argv + 4);
    }
    if (argc == 5 && std::strcmp(argv[1], "synthetic") == 0) {
        return synthetic(argv[2], argv[3], std::atoi(argv[4]));
    }
    std::fprintf(stderr,
                 "usage: %s read FILE.shp...\n"
                 "       %s load GDB CLASS FILE.shp...\n"
                 "       %s synthetic GDB CLASS FEATURES\n",
                 argv[0], argv[0], argv[0]);
    return 2;
}
