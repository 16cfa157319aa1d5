#include "cli/Arguments.h"

#include "cli/Console.h"
#include "cli/ExitStatus.h"

std::optional<int> parseArguments(QCommandLineParser& parser, const QStringList& args,
                                  const QString& help, qsizetype minPositional,
                                  qsizetype maxPositional) {
    const QString command = args.value(0);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(args))
        return usageError(command, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        Console::out(help);
        return ExitStatus::Ok;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minPositional)
        return usageError(command, QStringLiteral("missing argument ROOT"));
    if (count > maxPositional) {
        return usageError(command, QStringLiteral("unexpected argument '%1'")
                                       .arg(parser.positionalArguments().value(maxPositional)));
    }
    return std::nullopt;
}

int usageError(const QString& command, const QString& message) {
    Console::err(QStringLiteral("conflux %1: %2").arg(command, message));
    Console::err(QStringLiteral("Run \"conflux %1 --help\" for usage.").arg(command));
    return ExitStatus::Usage;
}
