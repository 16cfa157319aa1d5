#pragma once

#include "ShapefileFixture.h"

#include "host/FeatureLayer.h"
#include "host/MergeEngine.h"
#include "host/ShapefileFeatureClass.h"

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

    std::shared_ptr<IFeatureClass> run(MergeEngine& engine) const {
        HostArray array;
        for (const QString& path : inputs) {
            auto layer = std::make_shared<FeatureLayer>();
            layer->setFeatureClass(std::make_shared<ShapefileFeatureClass>(path));
            array.Add(layer);
        }
        auto workspace = std::make_shared<WorkspaceName>();
        workspace->setWorkspaceFactoryProgID(geoPackage ? WorkspaceName::GeodatabaseFactory
                                                        : WorkspaceName::ShapefileFactory);
        workspace->setPathName(location);
        auto output = std::make_shared<FeatureClassName>();
        output->setFeatureType(1);
        output->setShapeFieldName("Shape");
        output->setShapeType(shapeType);
        output->setName(name);
        output->setWorkspaceName(workspace);
        engine.setProgress(progress);
        auto templateTable = std::make_shared<FeatureLayer>();
        templateTable->setFeatureClass(std::make_shared<ShapefileFeatureClass>(
            fieldSource.isEmpty() ? inputs.value(0) : fieldSource));
        return engine.Merge(array, takeAs<ITable>(templateTable), output);
    }
    std::shared_ptr<IFeatureClass> run() const {
        MergeEngine engine;
        return run(engine);
    }
};
