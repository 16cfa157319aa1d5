#include "dialog/ConfluxForm.h"

#include <QEvent>

namespace {
// Client area in twips at 15 twips per pixel.
constexpr int kClientWidth = 9510 / 15;
constexpr int kClientHeight = 9105 / 15;
}  // namespace

ConfluxForm::ConfluxForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Conflux"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(kClientWidth, kClientHeight);
}

void ConfluxForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        emit activated();
    }
}
