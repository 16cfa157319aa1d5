#include "merge/TemplateSchema.h"

#include "errors/ConfluxError.h"
#include "shapefile/ShapefileFiles.h"
#include "shapefile/ShapefileReader.h"

TemplateSchema::TemplateSchema(const ShapefileProbe& probe, const TextPlan& plan)
    : table(probe.table()), shpType(probe.shpType()), prj(probe.prj().value_or(QByteArray())) {
    // Without its table the output would have none of the inputs' fields: every value lost.
    if (!table) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("The field source '%1' has no readable table: %2")
                               .arg(probe.shpPath(), probe.tableProblem()));
    }
    input.table = &*table;
    const bool utf8Output = plan.outputCodePage == "UTF-8";
    input.namesPage = utf8Output ? readingCodePage(probe) : plan.outputCodePage;
    input.recoded = utf8Output && input.namesPage != "UTF-8";
}

bool TemplateSchema::hasMeasures(const QString& shpPath) {
    try {
        ShapefileReader reader(shpPath);
        ShapefileReader::Block block;
        ShapeRecord shape;
        while (reader.next(block) == ShapefileReader::Next::Block) {
            for (std::int64_t i = 0; i < block.count(); ++i) {
                const QByteArrayView content = block.shape(i);
                if (shape.parse(content.data(), content.size()) == ShapeRecord::Status::Ok &&
                    shape.ranges().hasMeasures) {
                    return true;
                }
            }
        }
    } catch (const ConfluxError&) {
        // A template that cannot be read has no measures to keep.
    }
    return false;
}
