#include "CliRunner.h"

#include <QProcess>

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

}  // namespace CliRunner
