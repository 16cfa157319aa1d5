#pragma once

#include "host/GeodataInterfaces.h"

#include <QString>

// A folder of shapefiles; feature class `name` is the file `name.shp` (extension in any case).
class ShapefileWorkspace : public IFeatureWorkspace {
public:
    explicit ShapefileWorkspace(QString folder) : m_folder(std::move(folder)) {}

    // Reads the headers of the shapefile (see ShapefileProbe); nothing stays open.
    std::shared_ptr<IFeatureClass> OpenFeatureClass(const QString& name) override;
    // The same for the file `shpPath` itself, whatever others differ from its name in case.
    std::shared_ptr<IFeatureClass> openFile(const QString& shpPath);
    const QString& folder() const { return m_folder; }

private:
    QString m_folder;
};
