#include "host/TemplateSchema.h"

#include "errors/ConfluxError.h"
#include "formats/SpatialReference.h"
#include "formats/shapefile/ShapefileFiles.h"
#include "formats/shapefile/ShapefileReader.h"

TemplateSchema::TemplateSchema(const QString& shpPath, const TextPlan& plan) {
    const auto type = ShapefileFiles::readShpType(shpPath);
    if (!type) {
        throw ConfluxError(
            ErrorNumber::HostFailure,
            QStringLiteral("The field source '%1' is no readable shapefile").arg(shpPath));
    }
    shpType = *type;
    // Without its table the output would have none of the inputs' fields: every value lost.
    const QString dbf = ShapefileFiles::sidecar(shpPath, QStringLiteral("dbf"));
    QString cause = QStringLiteral("its table (.dbf) is missing or no regular file");
    table = dbf.isEmpty() ? std::nullopt : DbfTableHeader::readFile(dbf, &cause);
    if (!table) {
        throw ConfluxError(
            ErrorNumber::HostFailure,
            QStringLiteral("The field source '%1' has no readable table: %2").arg(shpPath, cause));
    }
    input.table = &*table;
    const bool utf8Output = plan.outputCodePage == "UTF-8";
    input.namesPage = utf8Output ? readingCodePage(shpPath) : plan.outputCodePage;
    input.recoded = utf8Output && input.namesPage != "UTF-8";
    prj =
        readPrjText(ShapefileFiles::sidecar(shpPath, QStringLiteral("prj"))).value_or(QByteArray());
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
