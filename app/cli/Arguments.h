#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// Parses a command's arguments (args[0] is the command's name) after adding -h/--help.
// nullopt: parsed, the command runs. Otherwise the run ends with the status returned: 0 after
// printing `help` for --help, ExitStatus::Usage after a usage message on standard error (an
// unknown option, a missing value, or a positional count outside min..max).
std::optional<int> parseArguments(QCommandLineParser& parser, const QStringList& args,
                                  const QString& help, qsizetype minPositional,
                                  qsizetype maxPositional);

// Prints "conflux COMMAND: message" and the hint to --help; returns ExitStatus::Usage.
int usageError(const QString& command, const QString& message);
