#include "ProgramHelp.h"

#include "cli/HelpText.h"

#include <QRegularExpression>

#include <stdexcept>

namespace {

QString helpOf(const QString& command) {
    if (command == QStringLiteral("scan"))
        return HelpText::scan();
    if (command == QStringLiteral("merge"))
        return HelpText::merge();
    throw std::runtime_error("the help lists the command '" + command.toStdString() +
                             "', which has no help text in tools/helpdocs/ProgramHelp.cpp");
}

}  // namespace

ProgramHelp ProgramHelp::read() {
    ProgramHelp help;
    help.general = HelpDocument::parse(HelpText::general());
    for (const HelpEntry& entry : help.general.list(QStringLiteral("Commands")))
        help.commands.append({entry.term, HelpDocument::parse(helpOf(entry.term))});
    if (help.commands.isEmpty() || help.general.usage.isEmpty())
        throw std::runtime_error("the general help has no usage or no \"Commands:\" list");
    return help;
}

QString ProgramHelp::program() const {
    return general.usage.first().line.section(QLatin1Char(' '), 0, 0);
}

QStringList ProgramHelp::commandNames() const {
    QStringList names;
    for (const auto& [name, document] : commands)
        names << name;
    return names;
}

QStringList ProgramHelp::globalOptions() const {
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[A-Za-z][\\w-]*"));
    QStringList options;
    for (const HelpSynopsis& synopsis : general.usage) {
        for (const auto& match : option.globalMatch(synopsis.line)) {
            if (!options.contains(match.captured()))
                options << match.captured();
        }
    }
    return options;
}
