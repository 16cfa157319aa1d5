#pragma once

#include "host/GeodataInterfaces.h"
#include "host/PropertySet.h"

#include <cstdint>
#include <memory>

// Opens folders of shapefiles as workspaces.
class ShapefileWorkspaceFactory : public virtual HostObject {
public:
    // The workspace of the folder in property "DATABASE". The window handle is only passed on.
    // Throws when the folder does not exist.
    std::shared_ptr<IFeatureWorkspace> OpenFromPropertySet(const PropertySet& properties,
                                                           std::int64_t hWnd) const;
};
