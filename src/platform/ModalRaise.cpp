#include "platform/ModalRaise.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace {

// Whether `window` belongs to `modal` (a transient of it, as its pop-ups are) and so is not
// blocked by it.
bool belongsTo(const QWindow* window, const QWindow* modal) {
    for (const QWindow* step = window; step != nullptr; step = step->transientParent()) {
        if (step == modal) {
            return true;
        }
    }
    return false;
}

// Shows `modal` again in front and active, once the window system has finished what it is
// doing (activating the window clicked, minimizing).
void bringForward(QWindow* modal) {
    QTimer::singleShot(0, modal, [window = QPointer<QWindow>(modal)] {
        if (window.isNull() || !window->isVisible() || window != QGuiApplication::modalWindow()) {
            return;
        }
        if (window->windowStates() & Qt::WindowMinimized) {
            window->showNormal();
        }
        window->raise();
        window->requestActivate();
    });
}

void onFocusWindowChanged(QWindow* focused) {
    QWindow* modal = QGuiApplication::modalWindow();
    if (modal != nullptr && focused != nullptr && !belongsTo(focused, modal)) {
        bringForward(modal);
    }
}

class MinimizedModalFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window != nullptr && window == QGuiApplication::modalWindow() &&
                (window->windowStates() & Qt::WindowMinimized)) {
                bringForward(window);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

namespace ModalRaise {

void install() {
    static bool installed = false;
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (installed || application == nullptr) {
        return;
    }
    installed = true;
    QObject::connect(application, &QGuiApplication::focusWindowChanged, application,
                     &onFocusWindowChanged);
    application->installEventFilter(new MinimizedModalFilter(application));
}

}  // namespace ModalRaise
