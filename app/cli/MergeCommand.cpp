#include "cli/MergeCommand.h"

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/GdalProgress.h"
#include "cli/InterruptFlag.h"
#include "cli/MergeRequest.h"
#include "cli/ProgressBar.h"
#include "discovery/ScanRoot.h"
#include "errors/ErrorHandling.h"
#include "formats/NewGeodatabase.h"
#include "formats/postgis/PostgisError.h"
#include "formats/shapefile/ShapefileFeatureClass.h"
#include "merge/AdmittedInputs.h"
#include "merge/InputTables.h"
#include "merge/MergeEngine.h"
#include "merge/MergeSummary.h"
#include "merge/OutputTarget.h"
#include "platform/FileEntry.h"

#include <cmath>

namespace {

const QString kNoElements = QStringLiteral("No elements for merge");

// The dialog's road from the found files to the summary, one step per member, each returning
// ExitStatus::Ok to go on or the status that ends the run.
class MergeRun {
public:
    explicit MergeRun(MergeRequest request)
        : m_request(std::move(request)), m_progress(m_request.progress) {}

    int run(const QStringList& files) {
        m_files = files;
        int status = openInputs();
        if (status == ExitStatus::Ok)
            status = openSource();
        if (status == ExitStatus::Ok)
            status = checkOutput();
        if (status == ExitStatus::Ok)
            status = merge();
        return status;
    }

private:
    int openInputs();
    int openSource();
    QString defaultSource(const std::vector<qsizetype>& admitted) const;
    int checkOutput();
    int checkGeodatabase();
    bool createPending();
    int merge();
    int mergeFailed(const ConfluxError* error);
    // Throws ConfluxError for an invalid mask.
    InputAdmission admission() const {
        return InputAdmission(m_request.mask, static_cast<GeometryKind>(m_request.kind));
    }

    MergeRequest m_request;
    QStringList m_files;
    std::vector<std::shared_ptr<ITable>> m_tables;
    QStringList m_names;
    std::vector<std::int32_t> m_shapeTypes;
    std::shared_ptr<IFeatureClass> m_source;
    QStringList m_notOpened;       // --skip-unreadable: "path: cause" of each input left out
    bool m_createPending = false;  // --create: the geodatabase is made once there is a merge
    bool m_created = false;        // ... and this run made it
    GdalProgress m_progress;       // --progress: opening the inputs is its first tenth
};

int MergeRun::openInputs() {
    ProgressBar progress(QStringLiteral("files opened"), m_files.size(), !m_request.progress);
    QStringList opened;
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        try {
            addInput(m_tables, m_names, m_shapeTypes, static_cast<qsizetype>(m_tables.size()),
                     GetFCFromFile(m_files[i], 0));
            opened << m_files[i];
        } catch (const ConfluxError& error) {
            if (!m_request.skipUnreadable) {
                progress.finish();
                ErrorHandling::reportCurrentException(QStringLiteral("UpdateTablesArrayFromDir "));
                return ExitStatus::Failure;
            }
            m_notOpened << QStringLiteral("%1: %2").arg(m_files[i], error.description());
        }
        progress.update(i + 1);
        m_progress.update(0.1 * static_cast<double>(i + 1) / static_cast<double>(m_files.size()));
    }
    m_files = opened;  // parallel to the inputs from here on
    return ExitStatus::Ok;
}

int MergeRun::openSource() {
    if (!m_request.source) {
        // No field source named: the first input the merge will admit.
        std::vector<qsizetype> admitted;
        try {
            admitted = admittedIndexes(admission(), m_names, m_shapeTypes);
        } catch (const ConfluxError& error) {
            Console::err(error.description());
            return ExitStatus::InvalidMask;
        }
        if (admitted.empty()) {
            Console::err(kNoElements);
            return ExitStatus::NoElements;
        }
        m_request.source = defaultSource(admitted);
    }
    if (m_request.source->isEmpty()) {
        Console::err(QStringLiteral("Вы забыли указать файл-источник полей"));
        return ExitStatus::MissingSource;
    }
    // An input already opened is not read again.
    const qsizetype input = m_files.indexOf(*m_request.source);
    if (input >= 0) {
        m_source = takeAs<IFeatureLayer>(m_tables[static_cast<std::size_t>(input)])->FeatureClass();
        return ExitStatus::Ok;
    }
    try {
        m_source = GetFCFromFile(*m_request.source, 0);
    } catch (...) {
        ErrorHandling::reportCurrentException(QStringLiteral("CmdMerge_Click "));
        return ExitStatus::Failure;
    }
    return ExitStatus::Ok;
}

// The first admitted input with a readable table: one without would give the output no fields.
// Should none have one, the first, which the merge then refuses with the cause.
QString MergeRun::defaultSource(const std::vector<qsizetype>& admitted) const {
    for (const qsizetype index : admitted) {
        const auto input = std::dynamic_pointer_cast<ShapefileFeatureClass>(
            takeAs<IFeatureLayer>(m_tables[static_cast<std::size_t>(index)])->FeatureClass());
        if (input && input->probe()->table())
            return m_files[index];
    }
    return m_files[admitted.front()];
}

int MergeRun::checkOutput() {
    const QString& path = m_request.output.location;
    if (m_request.output.kind == OutputKind::Postgis)
        return ExitStatus::Ok;  // the server checks the table in the merge's own transaction
    if (m_request.output.kind != OutputKind::ShapefileFolder)
        return checkGeodatabase();
    switch (checkShapefileOutput(path, m_request.output.name)) {
        case OutputCheck::MissingFolder:
            Console::err(missingFolderText(path));
            return ExitStatus::MissingFolder;
        case OutputCheck::ExistingShapefile:
            Console::err(replaceQuestionText(path, m_request.output.name));
            Console::err(m_request.replace ? QStringLiteral("Yes (--yes)")
                                           : QStringLiteral("No (give --yes to replace it)"));
            return m_request.replace ? ExitStatus::Ok : ExitStatus::ReplaceRefused;
        default:
            return ExitStatus::Ok;
    }
}

int MergeRun::checkGeodatabase() {
    const QString& path = m_request.output.location;
    // Made once the inputs are known to give something to merge, so that a run that stops
    // before leaves nothing behind.
    m_createPending = m_request.create && !FileEntry::exists(path);
    if (m_createPending || checkGeodatabaseOutput(path) == OutputCheck::Ready)
        return ExitStatus::Ok;
    Console::err(missingGeodatabaseText(path));
    return ExitStatus::MissingGeodatabase;
}

// The geodatabase --create asked for; false after reporting why it cannot be made.
bool MergeRun::createPending() {
    if (!m_createPending)
        return true;
    try {
        createGeodatabase(m_request.output.location);
    } catch (const ConfluxError& error) {
        Console::err(error.description());
        return false;
    }
    m_created = true;
    Console::err(QStringLiteral("Created the empty geodatabase %1").arg(m_request.output.location));
    return true;
}

int MergeRun::merge() {
    AdmittedInputs admitted;
    std::int64_t written = 0;
    MergeEngine engine;
    try {
        admitted = admitTables(admission(), m_tables, m_names, m_shapeTypes);
        if (admitted.tables->Count() == 0) {
            Console::err(kNoElements);
            return ExitStatus::NoElements;
        }
        if (!createPending())
            return ExitStatus::Failure;
        // The field source (--source, by default the first admitted input) is the template.
        MergeJob job = MergeJob::of(admitted, m_source, m_request.output);
        job.targetSystem = m_request.targetSrs;
        job.targetSystemText = m_request.targetSystem;
        job.assumedInputSystem = m_request.sourceSrs;
        ProgressBar progress(QStringLiteral("features"), admitted.totalRows, !m_request.progress);
        const double total = static_cast<double>(admitted.totalRows);
        job.progress = [this, &progress, total](double complete, const QString&) {
            progress.update(std::llround(complete * total));
            m_progress.update(0.1 + 0.9 * complete);
            return !InterruptFlag::raised();
        };
        const InterruptFlag interruptible;
        const auto result = engine.Merge(job);
        progress.finish();
        m_progress.finish();
        written = result->FeatureCount();
    } catch (const ConfluxError& error) {
        return mergeFailed(&error);
    } catch (...) {
        return mergeFailed(nullptr);
    }
    Console::out(MergeSummary::text(admitted.tables->Count(), written, admitted.totalRows));
    Console::out(MergeSummary::refusedByReason(engine.lastReport()));
    for (const QString& warning : engine.lastReport().warnings)
        Console::err(QStringLiteral("Warning: %1").arg(warning));
    if (m_notOpened.isEmpty())
        return ExitStatus::Ok;
    Console::out(QStringLiteral("inputs not opened: %1").arg(m_notOpened.size()));
    for (const QString& input : m_notOpened)
        Console::out(QStringLiteral("  ") + input);
    return ExitStatus::Partial;
}

// A PostGIS output's refusals that have their own status: nullopt for the others.
std::optional<int> postgisStatus(const PostgisError& error) {
    switch (error.kind()) {
        case PostgisFailure::TableExists:
            Console::err(error.description());
            Console::err(QStringLiteral("No (give --yes to replace it)"));
            return ExitStatus::ReplaceRefused;
        case PostgisFailure::Unreachable:
            Console::err(error.description());
            return ExitStatus::ServerUnreachable;
        case PostgisFailure::LoginRefused:
            Console::err(error.description());
            return ExitStatus::LoginRefused;
        default:
            return std::nullopt;
    }
}

// Called from a catch block only. A geodatabase this run made goes again: nothing is in it.
int MergeRun::mergeFailed(const ConfluxError* error) {
    if (m_created)
        removeNewGeodatabase(m_request.output.location);
    if (error && error->number() == ErrorNumber::InvalidPattern) {
        Console::err(error->description());
        return ExitStatus::InvalidMask;
    }
    if (InterruptFlag::raised()) {
        Console::err(QStringLiteral("Interrupted: nothing was written."));
        return ExitStatus::Interrupted;
    }
    if (const auto* postgis = dynamic_cast<const PostgisError*>(error)) {
        if (const auto status = postgisStatus(*postgis))
            return *status;
    }
    ErrorHandling::reportCurrentException(QStringLiteral("Conflux "));
    return ExitStatus::Failure;
}

}  // namespace

namespace MergeCommand {

int run(const QStringList& args) {
    MergeRequest request;
    if (const auto status = parseMergeRequest(args, request))
        return *status;
    const ScanOutcome scan = runScan(request.scan);
    if (scan.status != ExitStatus::Ok)
        return scan.status;
    Console::err(scanResultText(scan.paths.size()));
    return MergeRun(std::move(request)).run(scan.paths);
}

}  // namespace MergeCommand
