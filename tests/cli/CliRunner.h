#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

// Runs the built executables as a user's shell would, standard streams captured (so neither is
// a terminal).
namespace CliRunner {

struct Result {
    int exitCode = -1;
    QString out;  // standard output, UTF-8 decoded
    QString err;  // standard error
    QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

inline Result run(
    const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.closeWriteChannel();
    Result result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

inline Result conflux(const QStringList& arguments) {
    return run(QStringLiteral(CONFLUX_EXECUTABLE), arguments);
}

inline Result sampleSheets(const QStringList& arguments) {
    return run(QStringLiteral(CONFLUX_SAMPLE_SHEETS), arguments);
}

// Runs conflux on a pseudo-terminal through script(1); both streams arrive in `out`. Exit code
// -1 when script(1) is missing.
inline Result confluxOnTerminal(const QStringList& arguments) {
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        return {};
    QString command = QStringLiteral("'" CONFLUX_EXECUTABLE "'");
    for (const QString& argument : arguments)
        command += QStringLiteral(" '") + argument + QLatin1Char('\'');
    return run(script, {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
}

}  // namespace CliRunner
