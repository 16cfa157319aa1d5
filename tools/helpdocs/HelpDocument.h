#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One line of a --help list: "  --kind K             point, line or polygon".
struct HelpEntry {
    QString term;  // "--kind K", "ROOT", "scan", "10"
    QString text;  // the description, its continuation lines joined by blanks

    bool isOption() const { return term.startsWith(QLatin1Char('-')); }
    QString option() const { return term.section(QLatin1Char(' '), 0, 0); }    // "--kind"
    QString argument() const { return term.section(QLatin1Char(' '), 1, 1); }  // "K"
};

// One usage line, continuation lines joined, and the description beside it if any.
struct HelpSynopsis {
    QString line;  // "conflux merge ROOT [scan options] --kind point|line|polygon ..."
    QString description;
};

// A --help text taken apart into its usage lines, paragraphs and lists, so that the manual page
// and the shell completion can be written from the very text the program prints. Blocks are
// separated by blank lines; a block is the usage ("Usage: ..."), a list under a heading that
// ends with ':', a list of indented "TERM  text" lines, or a paragraph.
struct HelpDocument {
    QList<HelpSynopsis> usage;
    QStringList paragraphs;
    QList<std::pair<QString, QList<HelpEntry>>> lists;  // by heading, "" for none

    static HelpDocument parse(const QString& text);

    // The entries of every list under `heading`.
    QList<HelpEntry> list(const QString& heading) const;
    // The entries of every list, headed or not, that are options.
    QList<HelpEntry> options() const;
    // Positional arguments: entries of the unheaded lists that are no options ("ROOT").
    QList<HelpEntry> positionals() const;
};
