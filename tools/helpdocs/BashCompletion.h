#pragma once

#include "ProgramHelp.h"

#include <QString>

// The bash completion script, from a template whose placeholders the help fills. What an
// option's argument completes to follows from the help: its values when the usage line spells
// them out ("--kind point|line|polygon"), folders for ROOT, FOLDER or DIR, files and folders for
// FILE or PATH, nothing for any other placeholder (free text such as a mask or a name).
namespace BashCompletion {

QString write(const QString& templateText, const ProgramHelp& help);

}  // namespace BashCompletion
