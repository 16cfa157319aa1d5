// The dialog's scan without the window: the walk with the dialog's masks and depth text, the
// paced progress sign, and one candidate row text per found file. Usage: scan_tree_walk ROOT
// [depth=3]; prints rows, the in-process time and the memory the rows took.
#include "discovery/CandidateRow.h"
#include "discovery/DirWalk.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <unistd.h>
#include <cstdio>
#include <fstream>

namespace {

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ROOT [depth]\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString depthText = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("3");
    const long residentBefore = residentKilobytes();

    QElapsedTimer timer;
    timer.start();
    // The sign turns on every entry; a repaint (here: counting one) at most every 30 ms.
    QString sign = QStringLiteral("/");
    QElapsedTimer sincePaint;
    sincePaint.start();
    long repaints = 0;
    const DirWalk walk(
        QStringLiteral("*") + QStringLiteral(".shp"), QStringLiteral("*"),
        [&depthText] { return leadingNumber(depthText); },
        [&] {
            sign = sign == QLatin1String("/") ? QStringLiteral("\\") : QStringLiteral("/");
            if (sincePaint.elapsed() >= 30) {
                ++repaints;
                sincePaint.restart();
            }
        });
    int recursCount = 0;
    const QStringList found = walk.DirList(root, recursCount).value_or(QStringList());
    QStringList rows;
    rows.reserve(found.size());
    for (const QString& path : found)
        rows.append(candidateRowText(path));
    const qint64 elapsed = timer.nsecsElapsed();

    qint64 rowBytes = 0;
    for (const QString& row : rows)
        rowBytes += row.size() * qint64(sizeof(QChar));
    std::printf(
        "rows %lld  scan %.3f s  repaints %ld  recursCount %d  rss growth %ld KiB  row text %lld "
        "KiB\n",
        static_cast<long long>(rows.size()), double(elapsed) / 1e9, repaints, recursCount,
        residentKilobytes() - residentBefore, static_cast<long long>(rowBytes / 1024));
    return recursCount == 0 ? 0 : 1;
}
