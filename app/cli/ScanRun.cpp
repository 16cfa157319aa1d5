#include "cli/ScanRun.h"

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "discovery/DirWalk.h"
#include "discovery/ScanRoot.h"
#include "errors/ConfluxError.h"

void addScanOptions(QCommandLineParser& parser) {
    parser.addOption({QStringLiteral("file-mask"), QString(), QStringLiteral("M")});
    parser.addOption({QStringLiteral("dir-mask"), QString(), QStringLiteral("M")});
    parser.addOption({QStringLiteral("depth"), QString(), QStringLiteral("N")});
}

ScanRequest scanRequest(const QCommandLineParser& parser) {
    ScanRequest request;
    request.root = parser.positionalArguments().value(0);
    if (parser.isSet(QStringLiteral("file-mask")))
        request.fileMask = parser.value(QStringLiteral("file-mask"));
    if (parser.isSet(QStringLiteral("dir-mask")))
        request.dirMask = parser.value(QStringLiteral("dir-mask"));
    if (parser.isSet(QStringLiteral("depth")))
        request.depth = parser.value(QStringLiteral("depth"));
    return request;
}

ScanOutcome runScan(const ScanRequest& request) {
    if (!scanRootAnswers(request.root)) {
        Console::err(missingScanRootText());
        return {ExitStatus::MissingRoot, {}};
    }
    ScanOutcome outcome;
    if (!request.root.isEmpty()) {
        try {
            const double depth = leadingNumber(request.depth);
            const DirWalk walk(request.fileMask.trimmed() + QStringLiteral(".shp"),
                               request.dirMask.trimmed(), [depth] { return depth; });
            int recursCount = 0;
            outcome.paths = walk.DirList(request.root, recursCount).value_or(QStringList());
        } catch (const ConfluxError& error) {
            Console::err(error.description());
            return {ExitStatus::InvalidMask, {}};
        }
    }
    if (outcome.paths.isEmpty()) {
        Console::err(scanResultText(0));
        outcome.status = ExitStatus::NothingFound;
    }
    return outcome;
}
