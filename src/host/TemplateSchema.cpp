#include "host/TemplateSchema.h"

#include "errors/ConfluxError.h"
#include "formats/shapefile/ShapefileFiles.h"
#include "formats/shapefile/ShapefileReader.h"

namespace {

constexpr qsizetype kPrjLimit = 1 << 20;

// The spatial reference of a .prj, matched to a known one as GDAL's shapefile reader does.
OGRSpatialReference* fromPrj(const QByteArray& prj) {
    auto* srs = new OGRSpatialReference();
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const QList<QByteArray> lines = prj.split('\n');
    std::vector<QByteArray> kept(lines.begin(), lines.end());
    std::vector<char*> list;
    for (QByteArray& line : kept) {
        list.push_back(line.data());
    }
    list.push_back(nullptr);
    if (srs->importFromESRI(list.data()) != OGRERR_NONE) {
        srs->Release();
        return nullptr;
    }
    if (OGRSpatialReference* match = srs->FindBestMatch()) {
        srs->Release();
        match->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        return match;
    }
    srs->AutoIdentifyEPSG();
    return srs;
}

}  // namespace

TemplateSchema::TemplateSchema(const QString& shpPath, const TextPlan& plan,
                               bool spatialReference) {
    const auto type = ShapefileFiles::readShpType(shpPath);
    if (!type) {
        throw ConfluxError(
            ErrorNumber::HostFailure,
            QStringLiteral("The field source '%1' is no readable shapefile").arg(shpPath));
    }
    shpType = *type;
    table = DbfTableHeader::readFile(ShapefileFiles::sidecar(shpPath, QStringLiteral("dbf")));
    input.table = table ? &*table : nullptr;
    const bool utf8Output = plan.outputCodePage == "UTF-8";
    input.namesPage = utf8Output ? readingCodePage(shpPath) : plan.outputCodePage;
    input.recoded = utf8Output && input.namesPage != "UTF-8";
    const QString prjPath = ShapefileFiles::sidecar(shpPath, QStringLiteral("prj"));
    if (!prjPath.isEmpty()) {
        prj = ShapefileFiles::readRegularFile(prjPath, kPrjLimit).value_or(QByteArray());
    }
    if (spatialReference && !prj.isEmpty()) {
        srs.reset(fromPrj(prj));
    }
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
