#include "CliRunner.h"

#include <QProcess>
#include <QStandardPaths>

namespace CliRunner {
namespace {

Result run(const QString& program, const QStringList& arguments) {
    QProcess process;
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

}  // namespace

QStringList Result::outLines() const {
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

Result conflux(const QStringList& arguments) {
    return run(QStringLiteral(CONFLUX_EXECUTABLE), arguments);
}

Result sampleSheets(const QStringList& arguments) {
    return run(QStringLiteral(CONFLUX_SAMPLE_SHEETS), arguments);
}

Result confluxOnTerminal(const QStringList& arguments) {
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        return {};
    QString command = QStringLiteral("'" CONFLUX_EXECUTABLE "'");
    for (const QString& argument : arguments)
        command += QStringLiteral(" '") + argument + QLatin1Char('\'');
    return run(script, {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
}

}  // namespace CliRunner
