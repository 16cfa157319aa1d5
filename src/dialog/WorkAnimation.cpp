#include "dialog/WorkAnimation.h"

#include "dialog/DialogPictures.h"

#include <QPainter>

namespace {
constexpr int kFrameMilliseconds = 80;
}

WorkAnimation::WorkAnimation(QWidget* parent) : QWidget(parent) {
    m_ticker.setInterval(kFrameMilliseconds);
    connect(&m_ticker, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    m_clock.start();
}

int WorkAnimation::currentFrame() const {
    return static_cast<int>((m_clock.elapsed() / kFrameMilliseconds) %
                            DialogPictures::workFrameCount());
}

void WorkAnimation::paintEvent(QPaintEvent* /*event*/) {
    // The picture box is smaller than the animation: show it whole, scaled into the box.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap frame = DialogPictures::workFrame(currentFrame());
    const QSize fitted = frame.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.drawPixmap(target, frame);
}

void WorkAnimation::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_clock.restart();
    m_ticker.start();
}

void WorkAnimation::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_ticker.stop();
}
