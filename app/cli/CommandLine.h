#pragma once

#include <QStringList>

// The command line without a desktop: "conflux scan", "conflux merge", --help, --version.
namespace CommandLine {

// True when argv asks for the command line rather than the desktop: a command word, or
// -h/--help/--version. Qt's own options ("-platform ...") still start the desktop.
bool wanted(int argc, const char* const* argv);

// Runs the command in arguments (arguments[0] is the program). Needs a QCoreApplication.
// Returns the exit status.
int run(const QStringList& arguments);

}  // namespace CommandLine
