#include "BashCompletion.h"

#include "TemplateText.h"

#include <QMap>
#include <QRegularExpression>

namespace {

// The values an option takes, where a usage line lists them ("--kind point|line|polygon").
QMap<QString, QStringList> spelledOutValues(const ProgramHelp& help) {
    static const QRegularExpression choice(
        QStringLiteral("(--?[A-Za-z][\\w-]*) ([\\w-]+(?:\\|[\\w-]+)+)(?![\\w|-])"));
    QMap<QString, QStringList> values;
    for (const auto& [name, document] : help.commands) {
        for (const HelpSynopsis& synopsis : document.usage) {
            for (const auto& match : choice.globalMatch(synopsis.line))
                values[match.captured(1)] = match.captured(2).split(QLatin1Char('|'));
        }
    }
    return values;
}

// "folders", "files" or "text": what a placeholder stands for.
QString kindOf(const QString& placeholder) {
    static const QStringList folders = {QStringLiteral("ROOT"), QStringLiteral("FOLDER"),
                                        QStringLiteral("DIR")};
    static const QStringList files = {QStringLiteral("FILE"), QStringLiteral("PATH")};
    if (folders.contains(placeholder))
        return QStringLiteral("folders");
    if (files.contains(placeholder))
        return QStringLiteral("files");
    return QStringLiteral("text");
}

QString quoted(const QStringList& words) {
    return QLatin1Char('"') + words.join(QLatin1Char(' ')) + QLatin1Char('"');
}

// One `case` arm per command: its options and the kinds of its positional arguments.
QString commandCases(const ProgramHelp& help) {
    QString arms;
    for (const auto& [name, document] : help.commands) {
        QStringList options, positionals;
        for (const HelpEntry& entry : document.options()) {
            if (!options.contains(entry.option()))
                options << entry.option();
        }
        for (const HelpEntry& entry : document.positionals())
            positionals << kindOf(entry.term);
        arms += QStringLiteral("    %1) options=%2 positionals=(%3) ;;\n")
                    .arg(name, quoted(options), positionals.join(QLatin1Char(' ')));
    }
    return arms;
}

// Every option that takes an argument, by what its argument completes to.
QMap<QString, QStringList> optionsByKind(const ProgramHelp& help) {
    QMap<QString, QStringList> byKind;
    for (const auto& [name, document] : help.commands) {
        for (const HelpEntry& entry : document.options()) {
            if (entry.argument().isEmpty())
                continue;
            QStringList& options = byKind[kindOf(entry.argument())];
            if (!options.contains(entry.option()))
                options << entry.option();
        }
    }
    return byKind;
}

// One `case` arm per kind of option argument, on the word before the cursor.
QString argumentCases(const ProgramHelp& help) {
    const QMap<QString, QStringList> values = spelledOutValues(help);
    QMap<QString, QStringList> byKind = optionsByKind(help);
    QString arms;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        arms += QStringLiteral("    %1) _conflux_words %2; return ;;\n")
                    .arg(it.key(), quoted(it.value()));
        for (QStringList& options : byKind)
            options.removeAll(it.key());
    }
    for (auto it = byKind.cbegin(); it != byKind.cend(); ++it) {
        if (!it.value().isEmpty()) {
            arms += QStringLiteral("    %1) _conflux_complete %2; return ;;\n")
                        .arg(it.value().join(QStringLiteral(" | ")), it.key());
        }
    }
    return arms;
}

// A `case` pattern of every option that takes an argument, so the argument is not counted
// as a positional one.
QString argumentOptions(const ProgramHelp& help) {
    QStringList options;
    for (const QStringList& ofKind : optionsByKind(help))
        options += ofKind;
    return options.isEmpty() ? QStringLiteral("--") : options.join(QLatin1Char('|'));
}

}  // namespace

namespace BashCompletion {

QString write(const QString& templateText, const ProgramHelp& help) {
    return filledTemplate(
        templateText,
        {{QStringLiteral("PROGRAM"), help.program()},
         {QStringLiteral("COMMANDS"), help.commandNames().join(QLatin1Char(' '))},
         {QStringLiteral("GLOBAL_OPTIONS"), help.globalOptions().join(QLatin1Char(' '))},
         {QStringLiteral("COMMAND_CASES"), commandCases(help)},
         {QStringLiteral("ARGUMENT_CASES"), argumentCases(help)},
         {QStringLiteral("ARGUMENT_OPTIONS"), argumentOptions(help)}});
}

}  // namespace BashCompletion
