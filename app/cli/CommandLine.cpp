#include "cli/CommandLine.h"

#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/HelpText.h"
#include "cli/MergeCommand.h"
#include "cli/ScanCommand.h"
#include "gdal/LibraryVersions.h"

#include <cstring>

namespace {

bool isHelp(const QString& word) {
    return word == QStringLiteral("-h") || word == QStringLiteral("--help");
}

}  // namespace

namespace CommandLine {

bool wanted(int argc, const char* const* argv) {
    if (argc < 2)
        return false;
    const char* first = argv[1];
    return first[0] != '-' || std::strcmp(first, "-h") == 0 || std::strcmp(first, "--help") == 0 ||
           std::strcmp(first, "--version") == 0;
}

int run(const QStringList& arguments) {
    const QString command = arguments.value(1);
    const QStringList args = arguments.mid(1);
    if (isHelp(command)) {
        Console::out(HelpText::general());
        return ExitStatus::Ok;
    }
    if (command == QStringLiteral("--version")) {
        Console::out(HelpText::version({QStringLiteral("GDAL ") + LibraryVersions::gdal(),
                                        QStringLiteral("Qt ") + QString::fromLatin1(qVersion()),
                                        QStringLiteral("SQLite ") + LibraryVersions::sqlite()}));
        return ExitStatus::Ok;
    }
    if (command == QStringLiteral("help")) {
        const QString topic = arguments.value(2);
        Console::out(topic == QStringLiteral("scan")    ? HelpText::scan()
                     : topic == QStringLiteral("merge") ? HelpText::merge()
                                                        : HelpText::general());
        return ExitStatus::Ok;
    }
    if (command == QStringLiteral("scan"))
        return ScanCommand::run(args);
    if (command == QStringLiteral("merge"))
        return MergeCommand::run(args);
    Console::err(QStringLiteral("conflux: unknown command '%1'").arg(command));
    Console::err(QStringLiteral("Run \"conflux --help\" for usage."));
    return ExitStatus::Usage;
}

}  // namespace CommandLine
