#include "ManPage.h"

#include "TemplateText.h"

#include <QRegularExpression>

namespace {

// A word as roff prints it: backslashes kept, hyphens as the minus signs one types.
QString roffWord(QString word) {
    return word.replace(QLatin1Char('\\'), QStringLiteral("\\e"))
        .replace(QLatin1Char('-'), QStringLiteral("\\-"));
}

QString bold(const QString& word) {
    return QStringLiteral("\\fB") + roffWord(word) + QStringLiteral("\\fR");
}

QString italic(const QString& word) {
    return QStringLiteral("\\fI") + roffWord(word) + QStringLiteral("\\fR");
}

bool isPlaceholder(const QString& word) {
    static const QRegularExpression upper(QStringLiteral("^[A-Z][A-Z_]*$"));
    return upper.match(word).hasMatch();
}

// Running text: options in bold, and no line that roff would take for a request.
QString prose(const QString& text) {
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[A-Za-z][\\w-]*"));
    QString result;
    qsizetype done = 0;
    for (const auto& match : option.globalMatch(text)) {
        result += QString(text.mid(done, match.capturedStart() - done))
                      .replace(QLatin1Char('\\'), QStringLiteral("\\e"));
        result += bold(match.captured());
        done = match.capturedEnd();
    }
    result += QString(text.mid(done)).replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    if (result.startsWith(QLatin1Char('.')) || result.startsWith(QLatin1Char('\'')))
        result.prepend(QStringLiteral("\\&"));
    return result;
}

// "--kind K" as a list tag: the option in bold, what the user fills in in italics.
QString tag(const QString& term) {
    QStringList words;
    for (const QString& word : term.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words << (isPlaceholder(word) ? italic(word) : bold(word));
    return words.join(QLatin1Char(' '));
}

QString entries(const QList<HelpEntry>& list) {
    QString result;
    for (const HelpEntry& entry : list) {
        result += QStringLiteral(".TP\n") + tag(entry.term) + QLatin1Char('\n') +
                  prose(entry.text) + QLatin1Char('\n');
    }
    return result;
}

QChar charAt(const QString& text, qsizetype index) {
    return index >= 0 && index < text.size() ? text[index] : QChar();
}

// A usage line after the program's name: literal words in bold, placeholders in italics, and
// no line break inside an optional [group].
QString synopsisArguments(const QString& arguments, const QStringList& commands) {
    static const QRegularExpression token(
        QStringLiteral("--?[A-Za-z][\\w-]*|[A-Za-z][\\w]*|\\s+|."));
    QString result;
    int squareDepth = 0;
    bool first = true;
    for (const auto& match : token.globalMatch(arguments)) {
        const QString piece = match.captured();
        const QChar before = charAt(arguments, match.capturedStart() - 1);
        const QChar after = charAt(arguments, match.capturedEnd());
        if (piece.front().isSpace()) {
            result += squareDepth > 0 ? QStringLiteral("\\ ") : QStringLiteral(" ");
        } else if (piece.front() == QLatin1Char('-') || (first && commands.contains(piece)) ||
                   before == QLatin1Char('|') || after == QLatin1Char('|')) {
            result += piece == QStringLiteral("|") ? piece : bold(piece);
        } else if (piece.front().isLetter()) {
            result += isPlaceholder(piece) ? italic(piece) : piece;
        } else {
            squareDepth += piece == QStringLiteral("[") ? 1 : piece == QStringLiteral("]") ? -1 : 0;
            result += piece == QStringLiteral("\\") ? QStringLiteral("\\e") : piece;
        }
        if (!piece.front().isSpace())
            first = false;
    }
    return result;
}

QString synopsis(const ProgramHelp& help) {
    QList<HelpSynopsis> lines = help.general.usage;
    for (const auto& [name, document] : help.commands)
        lines += document.usage;
    const QString program = help.program();
    QString result;
    for (const HelpSynopsis& line : lines) {
        const QString arguments = line.line.mid(program.size()).trimmed();
        result += QStringLiteral(".SY ") + program + QLatin1Char('\n');
        if (!arguments.isEmpty())
            result += synopsisArguments(arguments, help.commandNames()) + QLatin1Char('\n');
        result += QStringLiteral(".YS\n");
    }
    return result;
}

QString commands(const ProgramHelp& help) {
    QString result;
    for (const auto& [name, document] : help.commands) {
        result += QStringLiteral(".SS \"%1 %2\"\n").arg(help.program(), name);
        QStringList paragraphs;
        for (const QString& paragraph : document.paragraphs)
            paragraphs << prose(paragraph);
        result += paragraphs.join(QStringLiteral("\n.PP\n")) + QLatin1Char('\n');
        result += entries(document.list(QString()));
    }
    return result;
}

}  // namespace

namespace ManPage {

QString write(const QString& templateText, const ProgramHelp& help, const QString& version,
              const QString& date) {
    return filledTemplate(
        templateText,
        {{QStringLiteral("SYNOPSIS"), synopsis(help)},
         {QStringLiteral("COMMANDS"), commands(help)},
         {QStringLiteral("EXIT_STATUS"), entries(help.general.list(QStringLiteral("Exit status")))},
         {QStringLiteral("VERSION"), version},
         {QStringLiteral("DATE"), date}});
}

}  // namespace ManPage
