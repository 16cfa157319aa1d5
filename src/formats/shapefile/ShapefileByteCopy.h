#pragma once

#include "host/MergeReport.h"
#include "platform/DbfTableHeader.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class MergeProgressTracker;
class ShapefileOutput;

// Copies an input's records into a shapefile output as bytes when they already fit: the same
// shape type and the same field layout, text kept in its code page. Record numbers, the index
// and the file headers are rebuilt and the bounding box recomputed from the records, so the
// output is what a feature-by-feature copy would give, bit for bit in geometry and text.
class ShapefileByteCopy {
public:
    // `output` null: nothing fits (GeoPackage output). `shpType`: the output's raw shape type.
    ShapefileByteCopy(ShapefileOutput* output, std::int32_t shpType);
    ~ShapefileByteCopy();

    // Copies `shpPath` and returns true, or returns false having written nothing when the input
    // does not fit. Records that cannot be read are skipped and counted as unreadable; deleted
    // table rows are skipped as a feature-by-feature reader skips them.
    bool tryCopy(const QString& shpPath, MergeProgressTracker& progress, MergeReport& report);

private:
    ShapefileOutput* m_output;
    std::int32_t m_shpType;
    std::optional<DbfTableHeader> m_outputDbf;
    struct Scratch;
    std::unique_ptr<Scratch> m_scratch;  // read and write buffers reused from input to input
};
