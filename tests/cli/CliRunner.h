#pragma once

#include <QString>
#include <QStringList>

// Runs the built executables as a user's shell would, standard streams captured (so neither is
// a terminal).
namespace CliRunner {

struct Result {
    int exitCode = -1;
    QString out;  // standard output, UTF-8 decoded
    QString err;  // standard error
    QStringList outLines() const;
};

Result conflux(const QStringList& arguments);
Result sampleSheets(const QStringList& arguments);
// Runs conflux on a pseudo-terminal through script(1); both streams arrive in `out`. Exit code
// -1 when script(1) is missing.
Result confluxOnTerminal(const QStringList& arguments);

}  // namespace CliRunner
