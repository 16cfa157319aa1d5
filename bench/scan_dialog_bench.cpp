// The scan and "на вход" as the dialog runs them: getDirList filling FlexGrid1 of the loaded (not
// shown) window, with the depth read from TxtDepthLevel and the paced progress sign; then, with
// "to-input", UpdateTablesArrayFromDir opening every row as an input and the admission of the
// polygon inputs that a merge would take, their rows counted. Usage: scan_dialog_bench ROOT
// [depth=3] [to-input]; prints the rows, the in-process times and the memory growth.
#include "ResidentMemory.h"
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "host/Application.h"
#include "merge/AdmittedInputs.h"
#if __has_include("platform/widgets/FlexGrid.h")
#include "platform/widgets/FlexGrid.h"
#else
#include "platform/FlexGrid.h"  // the layout before the widgets had a folder of their own
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <cstdio>
#include <cstring>

namespace {

class BenchApplication : public IApplication, public IGxApplication {
public:
    std::int64_t hWnd() const override { return 1; }
};

// "на вход" over the grid's rows; seconds, or -1 when the inputs could not be built.
double toInput(frmConflux& dialog) {
    QStringList files;
    for (qsizetype row = 1; row < dialog.form()->FlexGrid1->Rows(); ++row) {
        files << dialog.form()->FlexGrid1->TextMatrix(row, 0);
    }
    dialog.state().m_pApp = std::make_shared<BenchApplication>();
    dialog.state().FilesList = files;
    QElapsedTimer timer;
    timer.start();
    if (dialog.UpdateTablesArrayFromDir() != 2) {
        return -1;
    }
    const AdmittedInputs admitted = admitTables(
        InputAdmission(QStringLiteral("*"), GeometryKind::Polygon), dialog.state().TablesArray,
        dialog.state().TableNames, dialog.state().ShapeTypes);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("inputs %lld  admitted %lld  rows %lld  to input %.3f s\n",
                static_cast<long long>(dialog.state().TableNames.size()),
                static_cast<long long>(admitted.indexes.size()),
                static_cast<long long>(admitted.totalRows), seconds);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ROOT [depth] [to-input]\n", argv[0]);
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
    bool consistent = dialog.state().RecursCount == 0;
    if (argc > 3 && std::strcmp(argv[3], "to-input") == 0) {
        consistent = consistent && toInput(dialog) >= 0;
    }
    dialog.Unload();
    return consistent ? 0 : 1;
}
