#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

// The dialog's busy picture: a looping animation that runs while the widget is shown. The frame
// follows the time since it was shown, so a synchronous repaint() during a long operation also
// moves it on.
class WorkAnimation : public QWidget {
    Q_OBJECT
public:
    explicit WorkAnimation(QWidget* parent = nullptr);

    // The frame the next paint shows.
    int currentFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QElapsedTimer m_clock;
    QTimer m_ticker;
};
