#pragma once

#include "host/HostObject.h"

#include <QString>

#include <cstdint>
#include <memory>

// The host's geodata interfaces the system calls. Objects answering them are reached through
// std::shared_ptr and converted with takeAs<I>(). Every failing call throws ConfluxError
// carrying the host's own error text (file and layer named).

// A table of rows: a feature layer or a feature class.
class ITable : public virtual HostObject {
public:
    // Number of rows, no filter. Opens the data on demand and closes it before returning.
    virtual std::int64_t RowCount() const = 0;
};

// A feature class: one shapefile, or one layer of a GeoPackage.
class IFeatureClass : public virtual HostObject {
public:
    // The class's name: the shapefile's base name, or the GeoPackage layer's name.
    virtual QString AliasName() const = 0;
    // Shape type code (ShapeTypeCode in discovery/GeometryKind.h); Z and M variants give the
    // code of their plain type, a null-shape file 0.
    virtual std::int32_t ShapeType() const = 0;
    // Number of features, no filter.
    virtual std::int64_t FeatureCount() const = 0;
    // True when geometries carry Z values / M values.
    virtual bool HasZ() const = 0;
    virtual bool HasM() const = 0;
};

// A layer over a feature class; taken as ITable it counts the class's rows.
class IFeatureLayer : public virtual HostObject {
public:
    virtual void setFeatureClass(const std::shared_ptr<IFeatureClass>& featureClass) = 0;
    // The feature class set last; nullptr before any.
    virtual std::shared_ptr<IFeatureClass> FeatureClass() const = 0;
};

// A workspace that opens feature classes by name.
class IFeatureWorkspace : public virtual HostObject {
public:
    // Opens the feature class `name`; throws when it does not exist or cannot be read.
    virtual std::shared_ptr<IFeatureClass> OpenFeatureClass(const QString& name) = 0;
};
