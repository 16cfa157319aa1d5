#pragma once

#include "gdal/GdalErrorCapture.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QString>

// Opening datasets for the host's short-lived reads and writes. Each throws ConfluxError with
// GDAL's text, naming the file, when the dataset does not open.
namespace GdalOpen {

// A shapefile for reading. `rawText`: strings come as the file's bytes, not recoded.
GDALDatasetUniquePtr shapefile(const QString& shpPath, bool rawText, GdalErrorCapture& errors);

// A GeoPackage, for update or read only.
GDALDatasetUniquePtr geoPackage(const QString& path, bool update, GdalErrorCapture& errors);

// A File Geodatabase folder, read only.
GDALDatasetUniquePtr fileGeodatabase(const QString& path, GdalErrorCapture& errors);

// The one layer of a shapefile dataset, or layer `name` of any dataset.
OGRLayer* layer(GDALDataset& dataset, const QString& path, const QString& name,
                GdalErrorCapture& errors);

QByteArray toGdalPath(const QString& path);

// The shape type code (ShapeTypeCode) of a layer's geometry type; 0 for any other.
std::int32_t shapeTypeCode(OGRwkbGeometryType type);

}  // namespace GdalOpen
