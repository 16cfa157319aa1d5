#include "host/TemplateSchema.h"

#include "formats/shapefile/ShapefileFiles.h"
#include "host/GdalOpen.h"
#include "host/TextPlan.h"

TemplateSchema::TemplateSchema(const QString& shpPath, GdalErrorCapture& errors,
                               const QByteArray& outputCodePage, bool shortNames) {
    auto dataset = GdalOpen::shapefile(shpPath, true, errors);
    OGRLayer* layer = GdalOpen::layer(*dataset, shpPath, {}, errors);
    fields.reset(layer->GetLayerDefn()->Clone());
    fields->Reference();
    const bool utf8Output = outputCodePage == "UTF-8";
    const QByteArray page = utf8Output ? readingCodePage(shpPath) : outputCodePage;
    for (int i = 0; i < fields->GetFieldCount(); ++i) {
        OGRFieldDefn* field = fields->GetFieldDefn(i);
        names << decodeText(field->GetNameRef(), page);
        if (utf8Output && page != "UTF-8") {
            const QByteArray utf8 = names.back().toUtf8();
            field->SetName((shortNames ? utf8Prefix(utf8, 10) : utf8).constData());
        }
    }
    if (const OGRSpatialReference* layerSrs = layer->GetSpatialRef()) {
        srs.reset(layerSrs->Clone());
    }
    prjPath = ShapefileFiles::sidecar(shpPath, QStringLiteral("prj"));
    shpType = ShapefileFiles::readShpType(shpPath).value_or(0);
}
