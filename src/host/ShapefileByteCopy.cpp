#include "host/ShapefileByteCopy.h"

#include "host/MergeProgressTracker.h"
#include "host/ShapefileOutput.h"

ShapefileByteCopy::ShapefileByteCopy(ShapefileOutput* output, std::int32_t shpType)
    : m_output(output), m_shpType(shpType) {}

bool ShapefileByteCopy::tryCopy(const QString&, MergeProgressTracker&, MergeReport&) {
    return false;
}
