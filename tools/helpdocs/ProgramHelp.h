#pragma once

#include "HelpDocument.h"

#include <QList>
#include <QString>

#include <utility>

// The program's whole help: the general text and each command's, parsed.
struct ProgramHelp {
    HelpDocument general;
    QList<std::pair<QString, HelpDocument>> commands;  // in the order the general text lists them

    // Reads the help texts compiled into this generator. Throws std::runtime_error when the
    // general text lists a command that has no help text of its own here.
    static ProgramHelp read();

    QString program() const;  // "conflux"
    QStringList commandNames() const;
    QStringList globalOptions() const;  // options of the general usage lines ("--help")
};
