// The scan as the dialog runs it: getDirList filling FlexGrid1 of the loaded (not shown) window,
// with the depth read from TxtDepthLevel and the paced progress sign. Usage: scan_dialog_bench
// ROOT [depth=3]; prints the rows, the in-process time and the memory growth.
#include "ResidentMemory.h"
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "platform/widgets/FlexGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ROOT [depth]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    frmConflux& dialog = frmConflux::instance();
    dialog.Load();
    dialog.form()->TxtDepthLevel->setText(argc > 2 ? QString::fromLocal8Bit(argv[2])
                                                   : QStringLiteral("3"));
    const long residentBefore = residentKilobytes();
    QElapsedTimer timer;
    timer.start();
    const qint64 found =
        dialog.getDirList(root, QStringLiteral("*.shp"), QStringLiteral("*"), true);
    const qint64 elapsed = timer.nsecsElapsed();
    std::printf("rows %lld  found %lld  scan %.3f s  recursCount %lld  rss growth %ld KiB\n",
                static_cast<long long>(dialog.form()->FlexGrid1->Rows() - 1),
                static_cast<long long>(found), double(elapsed) / 1e9,
                static_cast<long long>(dialog.state().RecursCount),
                residentKilobytes() - residentBefore);
    const bool consistent = dialog.state().RecursCount == 0;
    dialog.Unload();
    return consistent ? 0 : 1;
}
