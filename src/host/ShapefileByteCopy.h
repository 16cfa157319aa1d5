#pragma once

#include "host/DbfHeader.h"
#include "host/MergeReport.h"

#include <QString>

#include <cstdint>
#include <optional>

class MergeProgressTracker;
class ShapefileOutput;

// Copies an input's records into a shapefile output as bytes when they already fit: the same
// shape type and the same field layout, text kept in its code page. The output's file headers
// and index are rebuilt and its bounding box recomputed from the records.
class ShapefileByteCopy {
public:
    // `output` null: nothing fits (GeoPackage output). `shpType`: the output's raw shape type.
    ShapefileByteCopy(ShapefileOutput* output, std::int32_t shpType);

    // Copies `shpPath` and returns true, or returns false having written nothing when the input
    // does not fit. Records that cannot be read are skipped and counted as unreadable.
    bool tryCopy(const QString& shpPath, MergeProgressTracker& progress, MergeReport& report);

private:
    ShapefileOutput* m_output;
    std::int32_t m_shpType;
    std::optional<DbfHeader> m_outputDbf;
};
