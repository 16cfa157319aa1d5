#include "merge/MergeEngine.h"

#include "formats/OutputFactory.h"
#include "formats/shapefile/ShapefileFeatureClass.h"
#include "gdal/GdalErrorCapture.h"
#include "merge/InputCopy.h"
#include "merge/MergeProgressTracker.h"
#include "merge/MergeTarget.h"
#include "merge/TemplateSchema.h"
#include "shapefile/ShapefileFiles.h"

#include <algorithm>

namespace {

ShapefileProbePtr probeOf(const ObjectRef& object) {
    std::shared_ptr<IFeatureClass> featureClass = std::dynamic_pointer_cast<IFeatureClass>(object);
    if (const auto layer = std::dynamic_pointer_cast<IFeatureLayer>(object)) {
        featureClass = layer->FeatureClass();
    }
    const auto shapefile = std::dynamic_pointer_cast<ShapefileFeatureClass>(featureClass);
    if (!shapefile) {
        throw ConfluxError(ErrorNumber::TypeMismatch,
                           QStringLiteral("A merge input is no shapefile feature class"));
    }
    return shapefile->probe();
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

// The output's geometry: the kind of the output's shape type, with the Z and M of the template's
// header type. A Z type's records may carry measures or not: a typed output gets them when the
// template's records or the inputs' carry any (a shapefile keeps them in its Z records anyway).
void decideGeometry(OutputSchema& schema, const MergeJob& job) {
    const std::int32_t templateType = job.fieldSource->shpType();
    schema.kind = ShapefileFiles::kindOfCode(job.shapeType);
    schema.hasZ = ShpType::hasZ(templateType);
    const auto measured = [&] {
        if (!job.output.takesValues() || !ShpType::hasZ(templateType)) {
            return false;
        }
        if (TemplateSchema::hasMeasures(job.fieldSource->shpPath())) {
            return true;
        }
        return std::any_of(job.inputs.begin(), job.inputs.end(), [](const ShapefileProbePtr& in) {
            return (ShpType::hasZ(in->shpType()) || ShpType::isMeasured(in->shpType())) &&
                   TemplateSchema::hasMeasures(in->shpPath());
        });
    };
    schema.hasM = ShpType::isMeasured(templateType) || measured();
}

// The inputs and how each one's text and coordinates reach the output.
std::vector<MergeInput> mergeInputs(const MergeJob& job, const TextPlan& plan,
                                    CoordinateSystemPlan& systems) {
    std::vector<MergeInput> merged(job.inputs.size());
    for (std::size_t i = 0; i < merged.size(); ++i) {
        merged[i].probe = job.inputs[i];
        merged[i].system = systems.decide(job.inputs[i]->prj());
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
    std::vector<OutputSchema::Input> inputs;
    inputs.reserve(merged.size());
    for (const MergeInput& input : merged) {
        inputs.push_back(input.schemaInput());
    }
    return OutputSchema::fromTemplate(templ.input, plan.outputCodePage, inputs, dbf);
}

// The system chosen for the output, else the template's: its .prj as read. A shapefile takes
// the .prj's text; the system it names is looked up for the other outputs only.
OutputSystem outputSystem(const MergeJob& job, const TemplateSchema& templ,
                          CoordinateSystemPlan& systems) {
    if (job.targetSystem) {
        return {job.targetSystem, SpatialReference::esriWkt(*job.targetSystem),
                job.targetSystemText};
    }
    const QString prj = job.fieldSource->companion(QStringLiteral("prj"));
    return {job.output.takesValues() ? systems.output() : nullptr, templ.prj,
            prj.isEmpty() ? job.fieldSource->shpPath() : prj};
}

}  // namespace

MergeJob MergeJob::of(const AdmittedInputs& inputs, const ObjectRef& fieldSource,
                      OutputPlace output) {
    MergeJob job;
    for (std::int64_t i = 0; i < inputs.tables->Count(); ++i) {
        job.inputs.push_back(probeOf(inputs.tables->Element(i)));
    }
    job.fieldSource = probeOf(fieldSource);
    job.shapeType = ShapefileFiles::shapeTypeCode(job.fieldSource->shpType());
    job.output = std::move(output);
    return job;
}

std::shared_ptr<IFeatureClass> MergeEngine::Merge(const MergeJob& job) {
    m_report = MergeReport{};
    GdalErrorCapture errors;  // nothing of GDAL's reaches the terminal
    if (!job.fieldSource) {
        throw ConfluxError(ErrorNumber::ObjectNotSet,
                           QStringLiteral("Object variable or With block variable not set"));
    }
    m_report.inputs = static_cast<std::int64_t>(job.inputs.size());
    MergeTarget::check(job.output, job.shapeType);
    std::vector<QString> protectedFiles{job.fieldSource->shpPath()};
    for (const ShapefileProbePtr& input : job.inputs) {
        protectedFiles.push_back(input->shpPath());
    }
    MergeTarget::refuseOverwriting(job.output, protectedFiles);

    const TextPlan plan = TextPlan::decide(job.inputs, job.output.takesValues());
    const TemplateSchema templ(*job.fieldSource, plan);
    CoordinateSystemPlan systems(job.targetSystem, templ.prj, job.assumedInputSystem);
    const OutputSystem system = outputSystem(job, templ, systems);
    const std::vector<MergeInput> merged = mergeInputs(job, plan, systems);
    OutputSchema schema = outputSchema(templ, plan, merged, !job.output.takesValues());
    decideGeometry(schema, job);
    OutputOptions options;
    options.shapefileLimits = job.shapefileLimits;
    // The server works on its own at the start and the end; a cancel reaches it there too.
    options.stop = [&job](double complete) {
        return job.progress && !job.progress(complete, QString());
    };
    const std::unique_ptr<MergeOutput> out = makeOutput(job.output, schema, system, options);
    std::vector<std::int64_t> weights;
    for (const ShapefileProbePtr& input : job.inputs) {
        weights.push_back(input->recordCount());
    }
    MergeProgressTracker progress(job.progress, weights);
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
