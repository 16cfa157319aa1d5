#include "HelpDocument.h"

#include <QRegularExpression>

namespace {

// Columns of a help line are separated by two blanks or more.
std::pair<QString, QString> splitColumns(const QString& line) {
    static const QRegularExpression gap(QStringLiteral("\\s{2,}"));
    const QRegularExpressionMatch match = gap.match(line);
    if (!match.hasMatch())
        return {line, QString()};
    return {line.left(match.capturedStart()), line.mid(match.capturedEnd())};
}

qsizetype indentOf(const QString& line) {
    qsizetype indent = 0;
    while (indent < line.size() && line[indent] == QLatin1Char(' '))
        ++indent;
    return indent;
}

QList<QStringList> blocksOf(const QString& text) {
    QList<QStringList> blocks(1);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            if (!blocks.last().isEmpty())
                blocks.append(QStringList());
        } else {
            blocks.last().append(line);
        }
    }
    if (blocks.last().isEmpty())
        blocks.removeLast();
    return blocks;
}

// A usage line starts with the program's name; other lines continue the one before.
QList<HelpSynopsis> parseUsage(const QStringList& block) {
    const QString program = block.first().mid(6).trimmed().section(QLatin1Char(' '), 0, 0);
    QList<HelpSynopsis> usage;
    for (const QString& raw : block) {
        const QString line =
            (raw.startsWith(QStringLiteral("Usage:")) ? raw.mid(6) : raw).trimmed();
        const auto [synopsis, description] = splitColumns(line);
        if (usage.isEmpty() || synopsis.section(QLatin1Char(' '), 0, 0) == program)
            usage.append({synopsis, description});
        else
            usage.last().line += QLatin1Char(' ') + synopsis;
    }
    return usage;
}

// An entry begins at the list's own indent; deeper lines continue its text.
QList<HelpEntry> parseEntries(const QStringList& lines) {
    QList<HelpEntry> entries;
    const qsizetype listIndent = indentOf(lines.first());
    for (const QString& line : lines) {
        if (entries.isEmpty() || indentOf(line) <= listIndent) {
            const auto [term, text] = splitColumns(line.trimmed());
            entries.append({term, text});
        } else {
            entries.last().text =
                (entries.last().text + QLatin1Char(' ') + line.trimmed()).trimmed();
        }
    }
    return entries;
}

}  // namespace

HelpDocument HelpDocument::parse(const QString& text) {
    HelpDocument document;
    for (const QStringList& block : blocksOf(text)) {
        const QString& first = block.first();
        if (first.startsWith(QStringLiteral("Usage:"))) {
            document.usage += parseUsage(block);
        } else if (indentOf(first) == 0 && first.endsWith(QLatin1Char(':')) && block.size() > 1) {
            document.lists.append({first.chopped(1), parseEntries(block.mid(1))});
        } else if (indentOf(first) > 0) {
            document.lists.append({QString(), parseEntries(block)});
        } else {
            QStringList lines;
            for (const QString& line : block)
                lines << line.trimmed();
            document.paragraphs << lines.join(QLatin1Char(' '));
        }
    }
    return document;
}

QList<HelpEntry> HelpDocument::list(const QString& heading) const {
    QList<HelpEntry> entries;
    for (const auto& [name, list] : lists) {
        if (name == heading)
            entries += list;
    }
    return entries;
}

QList<HelpEntry> HelpDocument::options() const {
    QList<HelpEntry> entries;
    for (const auto& [name, list] : lists) {
        for (const HelpEntry& entry : list) {
            if (entry.isOption())
                entries << entry;
        }
    }
    return entries;
}

QList<HelpEntry> HelpDocument::positionals() const {
    QList<HelpEntry> entries;
    for (const HelpEntry& entry : list(QString())) {
        if (!entry.isOption())
            entries << entry;
    }
    return entries;
}
