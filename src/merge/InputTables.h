#pragma once

#include "host/GeodataInterfaces.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

// Opening chosen shapefiles as merge inputs, without any window.

// Opens the shapefile FullFileName through the host's shapefile workspace factory: the folder
// is the text before the last "/", the feature class the base name up to the last "." (so
// "roads.old.shp" opens itself, not "roads.shp"). hWnd is only passed on. Throws ConfluxError
// with the host's text when the folder or the shapefile cannot be opened.
std::shared_ptr<IFeatureClass> GetFCFromFile(const QString& FullFileName, std::int64_t hWnd);

// One file opened by GetFCFromFile: its class, or what that threw.
struct OpenedInput {
    std::shared_ptr<IFeatureClass> featureClass;
    std::exception_ptr failure;
};
// Every file opened as GetFCFromFile opens it, on every core at once (opening is small reads of
// many files), in the order of `files`.
std::vector<OpenedInput> openInputs(const QStringList& files, std::int64_t hWnd);

// Puts featureClass at index i of the three parallel input arrays: they are resized to i + 1
// entries keeping what they hold, entry i of TablesArray becomes a new feature layer over the
// class taken as a table, and TableNames / ShapeTypes get the class's alias and shape type.
void addInput(std::vector<std::shared_ptr<ITable>>& TablesArray, QStringList& TableNames,
              std::vector<std::int32_t>& ShapeTypes, qsizetype i,
              const std::shared_ptr<IFeatureClass>& featureClass);
