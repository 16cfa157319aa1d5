#include "HostWindow.h"
#include "cli/CommandLine.h"
#include "platform/FileNameCodec.h"

#include <QApplication>
#include <QCoreApplication>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("conflux"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CONFLUX_VERSION));
}

// The arguments in their own bytes: a path that is not valid UTF-8 must still name its file.
QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(FileNameCodec::decode(argv[i]));
    return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A command word runs without a desktop, so scripts and machines without a display work.
    if (CommandLine::wanted(argc, argv)) {
        const QStringList arguments = argumentsOf(argc, argv);
        QCoreApplication app(argc, argv);
        nameApplication();
        return CommandLine::run(arguments);
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
