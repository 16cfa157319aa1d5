#pragma once

#include "ProgramHelp.h"

#include <QString>

// The manual page in roff, from a hand-written template whose placeholders the help fills:
// @SYNOPSIS@ (every usage line), @COMMANDS@ (each command's description and arguments),
// @EXIT_STATUS@, @VERSION@ and @DATE@.
namespace ManPage {

QString write(const QString& templateText, const ProgramHelp& help, const QString& version,
              const QString& date);

}  // namespace ManPage
