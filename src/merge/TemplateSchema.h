#pragma once

#include "formats/OutputSchema.h"
#include "formats/TextPlan.h"
#include "platform/DbfTableHeader.h"
#include "shapefile/ShapefileProbe.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// The merge's template, from the field-source file's probe: its table, shape type and .prj
// (whose system is looked up only where it is needed).
struct TemplateSchema {
    std::optional<DbfTableHeader> table;
    OutputSchema::Input input;  // the table as the output schema sees it
    std::int32_t shpType = 0;
    QByteArray prj;  // the .prj's text; empty when there is none

    // Throws ConfluxError, naming the file and the cause, when its table cannot be read.
    // `plan`: the merge's text plan, which decides the code page the field names are read in.
    TemplateSchema(const ShapefileProbe& probe, const TextPlan& plan);
    TemplateSchema(const TemplateSchema&) = delete;
    TemplateSchema& operator=(const TemplateSchema&) = delete;

    // Whether some record of a shapefile carries a measure that is data (read up to the first
    // that does): a Z type's records may or may not.
    static bool hasMeasures(const QString& shpPath);
};
