#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The folder walk both commands start with, exactly as the dialog's "переВыбрать" runs it.

struct ScanRequest {
    QString root;
    QString fileMask = QStringLiteral("*");  // as typed; trimmed and ".shp" appended to walk
    QString dirMask = QStringLiteral("*");
    QString depth = QStringLiteral("2");  // read by its leading number
};

struct ScanOutcome {
    int status = 0;  // ExitStatus::Ok when something was found
    QStringList paths;
};

// Adds --file-mask, --dir-mask and --depth.
void addScanOptions(QCommandLineParser& parser);
// The request of a parsed command line whose first positional argument is the root.
ScanRequest scanRequest(const QCommandLineParser& parser);

// Checks the root and walks it. Reports on standard error what ends the run (the missing
// root, an invalid mask, "Файлов нет!"); the caller reports a success.
ScanOutcome runScan(const ScanRequest& request);
