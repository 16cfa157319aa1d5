#include "HostWindow.h"
#include "cli/CommandLine.h"

#include <QApplication>
#include <QCoreApplication>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("conflux"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CONFLUX_VERSION));
}

}  // namespace

int main(int argc, char* argv[]) {
    // A command word runs without a desktop, so scripts and machines without a display work.
    if (CommandLine::wanted(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameApplication();
        return CommandLine::run(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    nameApplication();
    // Wayland shows no window icons; the desktop entry of this name gives the windows theirs.
    QGuiApplication::setDesktopFileName(QStringLiteral(CONFLUX_APP_ID));
    HostWindow window;
    window.show();
    if (!window.loadCommand()) {
        return 1;
    }
    return QApplication::exec();
}
