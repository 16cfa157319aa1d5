#include "host/MergeEngine.h"

#include "discovery/GeometryKind.h"
#include "formats/geopackage/GeoPackageOutput.h"
#include "formats/shapefile/ShapefileByteCopy.h"
#include "formats/shapefile/ShapefileFiles.h"
#include "formats/shapefile/ShapefileOutput.h"
#include "host/FeatureCopier.h"
#include "host/FeaturePipeline.h"
#include "host/GdalOpen.h"
#include "host/MergeProgressTracker.h"
#include "host/MergeTarget.h"
#include "host/ShapefileFeatureClass.h"
#include "host/TemplateSchema.h"
#include "host/TextPlan.h"

namespace {

QString shapefileOf(const ObjectRef& object) {
    std::shared_ptr<IFeatureClass> featureClass = std::dynamic_pointer_cast<IFeatureClass>(object);
    if (const auto layer = std::dynamic_pointer_cast<IFeatureLayer>(object)) {
        featureClass = layer->FeatureClass();
    }
    const auto shapefile = std::dynamic_pointer_cast<ShapefileFeatureClass>(featureClass);
    if (!shapefile) {
        throw ConfluxError(ErrorNumber::TypeMismatch,
                           QStringLiteral("A merge input is no shapefile feature class"));
    }
    return shapefile->shpPath();
}

OGRwkbGeometryType outputGeometryType(const MergeTarget& target, bool hasZ, bool hasM) {
    OGRwkbGeometryType type = wkbUnknown;
    switch (target.shapeType) {
        case ShapeTypeCode::Point:
            type = wkbPoint;
            break;
        case ShapeTypeCode::Multipoint:
            type = wkbMultiPoint;
            break;
        case ShapeTypeCode::Polygon:
            type = target.geoPackage ? wkbMultiPolygon : wkbPolygon;
            break;
        default:
            type = target.geoPackage ? wkbMultiLineString : wkbLineString;
            break;
    }
    return OGR_GT_SetModifier(type, hasZ, hasM);
}

}  // namespace

namespace {

// Copies one input through GDAL's feature objects.
void copyWithGdal(const QString& shpPath, const QByteArray& decodeFrom, FeatureCopier& copier,
                  MergeOutput& output, MergeProgressTracker& progress, MergeReport& report,
                  GdalErrorCapture& errors) {
    GDALDatasetUniquePtr dataset;
    try {
        dataset = GdalOpen::shapefile(shpPath, true, errors);
    } catch (const ConfluxError&) {
        ++report.unreadableInputs;
        report.unreadable += ShapefileFiles::indexedRecords(shpPath);
        return;
    }
    OGRLayer* layer = dataset->GetLayer(0);
    copier.beginInput(*layer->GetLayerDefn(), decodeFrom);
    OGRLayer& target = output.featureLayer();
    qsizetype failures = errors.failureCount();
    for (;;) {
        OGRFeatureUniquePtr feature(layer->GetNextFeature());
        progress.advance();
        if (errors.failureCount() != failures) {
            failures = errors.failureCount();
            ++report.unreadable;
            if (!feature) {
                break;
            }
            continue;
        }
        if (!feature) {
            break;
        }
        switch (copier.copy(*feature, target)) {
            case FeatureCopier::Result::Written:
                ++report.featuresWritten;
                output.featureWritten(copier.written());
                break;
            case FeatureCopier::Result::OtherGeometry:
                ++report.otherGeometry;
                break;
            case FeatureCopier::Result::WriteError:
                ++report.writeErrors;
                failures = errors.failureCount();
                break;
        }
    }
}

// Writes every input through a reader thread that converts features while this thread writes.
void writeFromPipeline(const std::vector<QString>& paths, const TextPlan& plan,
                       const QStringList& fieldNames, OGRwkbGeometryType geometryType,
                       MergeOutput& output, MergeProgressTracker& progress, MergeReport& report) {
    FeaturePipeline pipeline(paths, plan.inputDecode, output.fields(), fieldNames, geometryType);
    OGRLayer& layer = output.featureLayer();
    std::optional<std::size_t> input;
    while (auto batch = pipeline.next()) {
        if (batch->input != input) {
            input = batch->input;
            progress.beginInput(*input);
        }
        report.otherGeometry += batch->refused.otherGeometry;
        report.unreadable += batch->refused.unreadable;
        report.unreadableInputs += batch->refused.unreadableInputs;
        for (auto& feature : batch->features) {
            if (layer.CreateFeature(feature.get()) == OGRERR_NONE) {
                ++report.featuresWritten;
                output.featureWritten(*feature);
            } else {
                ++report.writeErrors;
            }
        }
        pipeline.recycle(std::move(batch->features));
        progress.advance(batch->consumed);
    }
}

// Every feature read was refused, so the output would hold none of them: that is a failure, and
// an existing output the user agreed to replace stays as it was.
void refuseEmptyResult(const MergeReport& report) {
    if (report.featuresWritten > 0 || report.refused() == 0) {
        return;
    }
    throw ConfluxError(
        ErrorNumber::HostFailure,
        QStringLiteral("None of the %1 features read could be merged (of another geometry: %2, "
                       "unreadable: %3, not written: %4); the output was not written")
            .arg(report.refused())
            .arg(report.otherGeometry)
            .arg(report.unreadable)
            .arg(report.writeErrors));
}

}  // namespace

std::shared_ptr<IFeatureClass> MergeEngine::Merge(const HostArray& inputs,
                                                  const std::shared_ptr<ITable>& templateTable,
                                                  const std::shared_ptr<FeatureClassName>& output) {
    m_report = MergeReport{};
    if (!output || !templateTable) {
        throw ConfluxError(ErrorNumber::ObjectNotSet,
                           QStringLiteral("Object variable or With block variable not set"));
    }
    GdalErrorCapture errors;
    std::vector<QString> paths;
    for (std::int64_t i = 0; i < inputs.Count(); ++i) {
        paths.push_back(shapefileOf(inputs.Element(i)));
    }
    m_report.inputs = inputs.Count();
    const QString templatePath = shapefileOf(templateTable);
    const MergeTarget target = MergeTarget::from(*output);
    std::vector<QString> protectedFiles = paths;
    protectedFiles.push_back(templatePath);
    if (const auto source = std::dynamic_pointer_cast<ShapefileFeatureClass>(m_fieldSource)) {
        protectedFiles.push_back(source->shpPath());
    }
    target.refuseOverwriting(protectedFiles);
    if (target.geoPackage) {
        GeoPackageOutput::refuseAccessDatabase(target.location);
    }

    const TextPlan plan = TextPlan::decide(paths, target.geoPackage);
    const TemplateSchema schema(templatePath, errors, plan.outputCodePage, !target.geoPackage);
    const bool hasZ = output->HasZ().value_or(ShapefileFiles::shpTypeHasZ(schema.shpType));
    const bool hasM = output->HasM().value_or(ShapefileFiles::shpTypeHasM(schema.shpType));
    const OGRwkbGeometryType geometryType = outputGeometryType(target, hasZ, hasM);

    std::unique_ptr<MergeOutput> out;
    ShapefileOutput* shapefileOut = nullptr;
    if (target.geoPackage) {
        out = std::make_unique<GeoPackageOutput>(errors, target.location, target.name,
                                                 target.geometryColumn, *schema.fields,
                                                 geometryType, schema.srs.get());
    } else {
        auto created =
            std::make_unique<ShapefileOutput>(errors, target.location, target.name, *schema.fields,
                                              geometryType, plan.outputCodePage, schema.prjPath);
        shapefileOut = created.get();
        out = std::move(created);
    }
    FeatureCopier copier(out->fields(), geometryType, !target.geoPackage, plan.outputCodePage,
                         schema.names);

    std::vector<std::int64_t> weights;
    for (const QString& path : paths) {
        weights.push_back(ShapefileFiles::indexedRecords(path));
    }
    MergeProgressTracker progress(m_progress, weights);
    if (target.geoPackage) {
        writeFromPipeline(paths, plan, schema.names, geometryType, *out, progress, m_report);
        refuseEmptyResult(m_report);
        auto result = out->commit();
        progress.finish();
        return result;
    }
    ShapefileByteCopy byteCopy(shapefileOut,
                               ShapefileFiles::shpTypeFor(target.shapeType, hasZ, hasM));
    for (std::size_t i = 0; i < paths.size(); ++i) {
        progress.beginInput(i);
        if (shapefileOut && plan.inputDecode[i].isEmpty() &&
            byteCopy.tryCopy(paths[i], progress, m_report)) {
            ++m_report.inputsCopiedAsBytes;
            continue;
        }
        copyWithGdal(paths[i], plan.inputDecode[i], copier, *out, progress, m_report, errors);
    }
    refuseEmptyResult(m_report);
    auto result = out->commit();
    progress.finish();
    return result;
}
