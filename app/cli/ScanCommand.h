#pragma once

#include <QStringList>

// "conflux scan": the candidate rows of a folder walk on standard output.
namespace ScanCommand {

// args[0] is "scan". Returns the exit status.
int run(const QStringList& args);

}  // namespace ScanCommand
