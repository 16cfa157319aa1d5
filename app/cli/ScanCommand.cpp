#include "cli/ScanCommand.h"

#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/HelpText.h"
#include "cli/ScanRun.h"
#include "cli/TextField.h"
#include "discovery/CandidateRow.h"
#include "discovery/ScanRoot.h"
#include "merge/InputTables.h"

namespace {

// The shape type code as the host reports it when the file is opened as an input.
QString shapeTypeText(const QString& path) {
    try {
        return QString::number(GetFCFromFile(path, 0)->ShapeType());
    } catch (const ConfluxError&) {
        return QStringLiteral(" - ");
    }
}

}  // namespace

namespace ScanCommand {

int run(const QStringList& args) {
    QCommandLineParser parser;
    addScanOptions(parser);
    if (const auto status = parseArguments(parser, args, HelpText::scan(), 1, 1))
        return *status;
    const ScanOutcome scan = runScan(scanRequest(parser));
    if (scan.status != ExitStatus::Ok)
        return scan.status;
    for (const QString& path : scan.paths) {
        QStringList fields = candidateRowCells(path) << shapeTypeText(path);
        for (QString& field : fields)
            field = escapeField(field);
        Console::out(fields.join(QLatin1Char('\t')));
    }
    Console::err(scanResultText(scan.paths.size()));
    return ExitStatus::Ok;
}

}  // namespace ScanCommand
