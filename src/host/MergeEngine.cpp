#include "host/MergeEngine.h"

#include "formats/filegdb/FileGdbOutput.h"
#include "formats/geopackage/GeoPackageOutput.h"
#include "formats/postgis/PostgisOutput.h"
#include "formats/shapefile/ShapefileFiles.h"
#include "formats/shapefile/ShapefileOutput.h"
#include "host/InputCopy.h"
#include "host/MergeProgressTracker.h"
#include "host/MergeTarget.h"
#include "host/ShapefileFeatureClass.h"
#include "host/TemplateSchema.h"

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

// Every feature read was refused, so the output would hold none of them: that is a failure, and
// an existing output the user agreed to replace stays as it was.
void refuseEmptyResult(const MergeReport& report) {
    if (report.featuresWritten > 0 || report.refused() == 0) {
        return;
    }
    throw ConfluxError(
        ErrorNumber::HostFailure,
        QStringLiteral("None of the %1 features read could be merged (of another geometry: %2, "
                       "unreadable: %3, non-finite coordinates: %4, not reprojected: %5); the "
                       "output was not written")
            .arg(report.refused())
            .arg(report.otherGeometry)
            .arg(report.unreadable)
            .arg(report.nonFinite)
            .arg(report.notReprojected()));
}

}  // namespace

namespace {

// The output's geometry: the kind of the output's shape type, with the Z and M of the template's
// header type. A Z type's records may carry measures or not: a GeoPackage gets them when the
// template's records or the inputs' carry any (a shapefile keeps them in its Z records anyway).
void decideGeometry(OutputSchema& schema, const MergeTarget& target, const FeatureClassName& output,
                    const QString& templatePath, std::int32_t templateType,
                    const std::vector<QString>& inputs) {
    schema.kind = ShapefileFiles::kindOfCode(target.shapeType);
    schema.hasZ = output.HasZ().value_or(ShpType::hasZ(templateType));
    const auto measured = [&] {
        if (!target.takesValues() || !ShpType::hasZ(templateType)) {
            return false;
        }
        if (TemplateSchema::hasMeasures(templatePath)) {
            return true;
        }
        return std::any_of(inputs.begin(), inputs.end(), [](const QString& input) {
            const std::int32_t type = ShapefileFiles::readShpType(input).value_or(0);
            return (ShpType::hasZ(type) || ShpType::isMeasured(type)) &&
                   TemplateSchema::hasMeasures(input);
        });
    };
    schema.hasM = output.HasM().value_or(ShpType::isMeasured(templateType) || measured());
}

// The inputs and how each one's text and coordinates reach the output.
std::vector<MergeInput> mergeInputs(const std::vector<QString>& paths, const TextPlan& plan,
                                    CoordinateSystemPlan& systems) {
    std::vector<MergeInput> merged(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        merged[i].shpPath = paths[i];
        merged[i].system = systems.decide(ShapefileFiles::sidecar(paths[i], QStringLiteral("prj")));
        merged[i].decodeFrom = plan.inputDecode[i];
        // Names stay in their files' code pages: Cyrillic names read as UTF-8 would look alike.
        merged[i].namesPage =
            plan.inputDecode[i].isEmpty() ? plan.outputCodePage : plan.inputDecode[i];
    }
    return merged;
}

// The template's fields, with widths that hold what the inputs' fields bring.
OutputSchema outputSchema(const TemplateSchema& templ, const TextPlan& plan,
                          const std::vector<MergeInput>& merged, bool dbf) {
    std::vector<std::optional<DbfTableHeader>> tables;
    tables.reserve(merged.size());
    std::vector<OutputSchema::Input> inputs;
    for (const MergeInput& input : merged) {
        tables.push_back(DbfTableHeader::readFile(
            ShapefileFiles::sidecar(input.shpPath, QStringLiteral("dbf"))));
        inputs.push_back(input.schemaInput(tables.back()));
    }
    return OutputSchema::fromTemplate(templ.input, plan.outputCodePage, inputs, dbf);
}

// The table goes where `placement` says, under the output's name.
std::unique_ptr<MergeOutput> postgisOutput(const MergeTarget& target, PostgisTarget placement,
                                           const OutputSchema& schema, const OutputSystem& system,
                                           const MergeProgress& progress) {
    placement.table = target.name;
    // The server works on its own at the start and the end; a cancel reaches it there too.
    return std::make_unique<PostgisOutput>(
        target.location, placement, schema, system.srs.get(), system.source,
        [&progress](double complete) { return progress && !progress(complete, QString()); });
}

// The system chosen for the output, else the template's: its .prj as read. A shapefile takes
// the .prj's text; the system it names is looked up for the other outputs only.
OutputSystem outputSystem(const OutputSystem& chosen, const TemplateSchema& templ,
                          const QString& templatePath, CoordinateSystemPlan& systems,
                          bool lookedUp) {
    if (chosen.srs) {
        return {chosen.srs, SpatialReference::esriWkt(*chosen.srs), chosen.source};
    }
    const QString prj = ShapefileFiles::sidecar(templatePath, QStringLiteral("prj"));
    return {lookedUp ? systems.output() : nullptr, templ.prj, prj.isEmpty() ? templatePath : prj};
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

    const TextPlan plan = TextPlan::decide(paths, target.takesValues());
    const TemplateSchema templ(templatePath, plan);
    CoordinateSystemPlan systems(m_outputSystem.srs, templ.prj, m_assumedInputSystem);
    const OutputSystem system =
        outputSystem(m_outputSystem, templ, templatePath, systems, target.takesValues());
    std::vector<MergeInput> merged = mergeInputs(paths, plan, systems);
    OutputSchema schema = outputSchema(templ, plan, merged, !target.takesValues());
    decideGeometry(schema, target, *output, templatePath, templ.shpType, paths);
    std::unique_ptr<MergeOutput> out;
    if (target.fileGeodatabase) {
        out = std::make_unique<FileGdbOutput>(target.location, target.name, target.geometryColumn,
                                              schema, system.srs.get());
    } else if (target.geoPackage) {
        out = std::make_unique<GeoPackageOutput>(errors, target.location, target.name,
                                                 target.geometryColumn, schema, system.srs.get());
    } else if (target.postgis) {
        out = postgisOutput(target, m_postgisPlacement, schema, system, m_progress);
    } else {
        out = std::make_unique<ShapefileOutput>(target.location, target.name, schema,
                                                ShpType::of(schema.kind, schema.hasZ, schema.hasM),
                                                system.prj, m_shapefileLimits);
    }
    std::vector<std::int64_t> weights;
    for (const QString& path : paths) {
        weights.push_back(ShapefileFiles::indexedRecords(path));
    }
    MergeProgressTracker progress(m_progress, weights);
    ReprojectionWorkers workers(systems.sources());
    for (std::size_t i = 0; i < merged.size(); ++i) {
        progress.beginInput(i);
        copyInput(merged[i], schema, *out, progress, m_report, workers);
    }
    refuseEmptyResult(m_report);
    auto result = out->commit();
    m_report.warnings = out->warnings();
    progress.finish();
    return result;
}
