#pragma once

#include "gdal/GdalErrorCapture.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QString>

// Opening the geodatabases the merge writes into and reads back. Each throws ConfluxError with
// GDAL's text, naming the file, when the dataset does not open.
namespace GdalOpen {

// A GeoPackage, for update or read only.
GDALDatasetUniquePtr geoPackage(const QString& path, bool update, GdalErrorCapture& errors);

// A File Geodatabase folder, read only.
GDALDatasetUniquePtr fileGeodatabase(const QString& path, GdalErrorCapture& errors);

// Layer `name` of a dataset (empty: its first).
OGRLayer* layer(GDALDataset& dataset, const QString& path, const QString& name,
                GdalErrorCapture& errors);

QByteArray toGdalPath(const QString& path);

}  // namespace GdalOpen
