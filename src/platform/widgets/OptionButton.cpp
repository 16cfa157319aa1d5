#include "platform/widgets/OptionButton.h"

#include <QEvent>
#include <QStyle>
#include <QStyleOptionButton>

OptionButton::OptionButton(const QString& caption, QWidget* parent)
    : QRadioButton(caption, parent) {
    updateMask();
}

QRect OptionButton::visibleRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, this) & rect();
}

void OptionButton::resizeEvent(QResizeEvent* event) {
    QRadioButton::resizeEvent(event);
    updateMask();
}

void OptionButton::changeEvent(QEvent* event) {
    QRadioButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateMask();
    }
}

void OptionButton::updateMask() {
    const QRect visible = visibleRect();
    if (!visible.isEmpty()) {
        setMask(QRegion(visible));
    }
}
