#pragma once

#include <QProxyStyle>

// The application's style with the circles and boxes of option buttons and check boxes scaled
// like the fonts beside them: a window shrunk to fit a small screen shrinks them too, where the
// style would keep them at their full size and spill them over the next control.
class ScaledIndicatorStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit ScaledIndicatorStyle(double factor) : m_factor(factor) {}
    void setFactor(double factor) { m_factor = factor; }

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

private:
    double m_factor;
};
