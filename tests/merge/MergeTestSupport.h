#pragma once

#include "support/ShapefileFixture.h"

#include "merge/MergeEngine.h"
#include "merge/OutputTarget.h"

#include <QDir>
#include <QStringList>

#include <gdal_priv.h>

// A new GeoPackage at `path` holding one empty layer "existing".
inline QString emptyGeoPackage(const QString& path) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    GDALDatasetUniquePtr dataset(
        driver->Create(path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    dataset->CreateLayer("existing", nullptr, wkbPoint, nullptr);
    return path;
}

// Runs merges the way the dialog does: inputs as feature layers taken as tables, the field
// source (by default the first input) as template.
struct MergeCall {
    MergeCall(QStringList inputs_, QString location_, QString name_, std::int32_t shapeType_ = 4,
              bool geoPackage_ = false)
        : inputs(std::move(inputs_)),
          location(std::move(location_)),
          name(std::move(name_)),
          shapeType(shapeType_),
          geoPackage(geoPackage_) {}

    QStringList inputs;  // .shp paths
    QString location;    // folder or GeoPackage
    QString name;
    std::int32_t shapeType = 4;
    bool geoPackage = false;
    QString fieldSource;  // empty: the first input
    MergeProgress progress;

    ShapefileLimits limits;

    // The job as the dialog makes it: the inputs and the field source probed, the output
    // described by its folder or geodatabase.
    MergeJob job() const {
        MergeJob job;
        for (const QString& path : inputs) {
            job.inputs.push_back(ShapefileProbe::open(path));
        }
        job.fieldSource =
            ShapefileProbe::open(fieldSource.isEmpty() ? inputs.value(0) : fieldSource);
        job.shapeType = shapeType;
        job.output = describeOutput(!geoPackage, location, name);
        job.progress = progress;
        job.shapefileLimits = limits;
        return job;
    }
    std::shared_ptr<IFeatureClass> run(MergeEngine& engine) const { return engine.Merge(job()); }
    std::shared_ptr<IFeatureClass> run() const {
        MergeEngine engine;
        return run(engine);
    }
};
