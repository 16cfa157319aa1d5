#include "formats/OutputFactory.h"

#include "formats/filegdb/FileGdbOutput.h"
#include "formats/geopackage/GeoPackageOutput.h"
#include "formats/postgis/PostgisOutput.h"
#include "formats/shapefile/ShapefileOutput.h"

std::unique_ptr<MergeOutput> makeOutput(const OutputPlace& place, const OutputSchema& schema,
                                        const OutputSystem& system, const OutputOptions& options) {
    switch (place.kind) {
        case OutputKind::FileGeodatabase:
            return std::make_unique<FileGdbOutput>(
                place.location, place.name, options.geometryColumn, schema, system.srs.get());
        case OutputKind::GeoPackage:
            return std::make_unique<GeoPackageOutput>(
                place.location, place.name, options.geometryColumn, schema, system.srs.get());
        case OutputKind::Postgis:
            return std::make_unique<PostgisOutput>(
                place.location,
                PostgisTarget{place.schema, place.name, place.createSchema, place.replace}, schema,
                system.srs.get(), system.source, options.stop);
        case OutputKind::ShapefileFolder:
            break;
    }
    return std::make_unique<ShapefileOutput>(place.location, place.name, schema,
                                             ShpType::of(schema.kind, schema.hasZ, schema.hasM),
                                             system.prj, options.shapefileLimits);
}
