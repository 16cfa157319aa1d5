#include "HostWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("conflux"));
    HostWindow window;
    window.show();
    if (!window.loadCommand()) {
        return 1;
    }
    return QApplication::exec();
}
