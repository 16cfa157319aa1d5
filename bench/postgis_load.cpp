// Loads shapefiles into a new PostGIS table with the PostGIS writer, reading them through GDAL
// (the merge will read them with its own reader), or only reads them, to tell the two costs
// apart; postgis-bench.sh times it against ogrmerge.py into the same server.
//   conflux_postgis_load read FILE.shp...
//   conflux_postgis_load load CONNINFO TABLE FILE.shp...
//   conflux_postgis_load synthetic CONNINFO TABLE FEATURES
// `synthetic` loads polygons and values prebuilt in memory: the writer and the server alone.

#include "FeatureFeed.h"
#include "formats/postgis/PostgisWriter.h"
#include "formats/postgis/SpatialReferenceCode.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QString>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

PostgisLayout layoutOf(OGRLayer& layer, const char* shpPath) {
    PostgisLayout layout;
    layout.fields = FeatureFeed::templateFields(layer);
    layout.geometryType = wkbMultiPolygon;
    layout.srid = sridOf(layer.GetSpatialRef(), QString::fromUtf8(shpPath)).srid;
    return layout;
}

PostgisTarget targetOf(const char* table) {
    PostgisTarget target;
    target.table = QString::fromUtf8(table);
    target.replace = true;
    return target;
}

int load(const char* conninfo, const char* table, int count, char** paths) {
    return FeatureFeed::loadShapefiles<PostgisError>(
        count, paths,
        [&](OGRLayer& layer) {
            return std::make_unique<PostgisWriter>(
                std::make_unique<PgConnection>(QString::fromUtf8(conninfo)), targetOf(table),
                layoutOf(layer, paths[0]), PgCancelCheck{});
        },
        [](PostgisWriter& writer, QByteArrayView wkb, const auto& values) {
            writer.add(wkb, values);
            return true;  // the server refuses a geometry by failing the load
        });
}

int synthetic(const char* conninfo, const char* table, int count) {
    const auto features = FeatureFeed::syntheticFeatures(count);
    PostgisLayout layout;
    layout.fields = FeatureFeed::parcelFields();
    layout.geometryType = wkbMultiPolygon;
    layout.srid = 32637;
    try {
        const auto started = std::chrono::steady_clock::now();
        PostgisWriter writer(std::make_unique<PgConnection>(QString::fromUtf8(conninfo)),
                             targetOf(table), layout, PgCancelCheck{});
        FeatureFeed::addAll(writer, features, [](std::size_t) {});
        const double sent = FeatureFeed::secondsSince(started);
        writer.commit();
        std::printf("rows sent in %.2f s, committed and analyzed at %.2f s\n", sent,
                    FeatureFeed::secondsSince(started));
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
                 "       %s load CONNINFO TABLE FILE.shp...\n"
                 "       %s synthetic CONNINFO TABLE FEATURES\n",
                 argv[0], argv[0], argv[0]);
    return 2;
}
