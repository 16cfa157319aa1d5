#include "platform/widgets/WindowScale.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr double kTwipsPerPixel = 15.0;
// Line height in pixels of the font the layouts were drawn for.
constexpr double kDesignLineHeight = 13.0;
// The point size a widget's font had before any scaling.
constexpr const char* kBasePointSize = "confluxBasePointSize";

std::optional<WindowScale>& sharedScale() {
    static std::optional<WindowScale> scale;
    return scale;
}

double basePointSize(QWidget& widget) {
    QVariant base = widget.property(kBasePointSize);
    if (!base.isValid()) {
        base = widget.font().pointSizeF();
        widget.setProperty(kBasePointSize, base);
    }
    return base.toDouble();
}

}  // namespace

int WindowScale::px(int twips) const {
    return static_cast<int>(std::lround(twips * layout / kTwipsPerPixel));
}

int WindowScale::twips(int pixels) const {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel / layout));
}

QRect WindowScale::px(const QRect& twips) const {
    return {px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())};
}

namespace WindowScales {

WindowScale shared() {
    if (sharedScale()) {
        return *sharedScale();
    }
    return {fontRatio(QApplication::font()), 1.0};
}

void setShared(const WindowScale& scale) {
    sharedScale() = scale;
}

double fontRatio(const QFont& font) {
    return std::max(1.0, QFontMetrics(font).height() / kDesignLineHeight);
}

double fitting(QSize twips, QSize frame, QSize available) {
    const double across = (available.width() - frame.width()) * kTwipsPerPixel / twips.width();
    const double down = (available.height() - frame.height()) * kTwipsPerPixel / twips.height();
    return std::min(across, down);
}

QSize frameAllowance(const QWidget& window) {
    // Title bars differ between window managers; two lines of text covers the usual ones.
    const int titleBar = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight),
                                  2 * window.fontMetrics().height() + 8);
    constexpr int kBorder = 4;
    return {2 * kBorder, titleBar + 2 * kBorder};
}

QRect availableArea() {
    QScreen* screen = nullptr;
    if (const QWidget* active = QApplication::activeWindow()) {
        screen = active->screen();
    }
    if (screen == nullptr) {
        screen = QGuiApplication::screenAt(QCursor::pos());
    }
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void scaleFonts(QWidget& window, double factor) {
    // Fonts set on a parent do not reach children under a style sheet: every widget is set on
    // its own, from the size it had before any scaling.
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    std::vector<double> bases;
    bases.reserve(static_cast<std::size_t>(widgets.size()));
    for (QWidget* widget : widgets) {
        bases.push_back(basePointSize(*widget));
    }
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const double base = bases[static_cast<std::size_t>(i)];
        if (base > 0) {  // a font sized in pixels keeps its size
            QFont font = widgets[i]->font();
            font.setPointSizeF(base * factor);
            widgets[i]->setFont(font);
        }
    }
}

}  // namespace WindowScales
