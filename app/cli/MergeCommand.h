#pragma once

#include <QStringList>

// "conflux merge": walk, open the inputs, admit by mask and kind, merge, print the summary.
namespace MergeCommand {

// args[0] is "merge". Returns the exit status.
int run(const QStringList& args);

}  // namespace MergeCommand
