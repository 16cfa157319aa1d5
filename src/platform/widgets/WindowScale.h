#pragma once

#include <QRect>
#include <QSize>

class QFont;
class QWidget;

// The windows of the library are laid out in twips, 15 per pixel at the font they were drawn
// for. A window is scaled as a whole: one layout factor for every position and size, and a font
// factor that shrinks the fonts with the layout when the screen has no room for the layout the
// font asks for. Every window takes the factors the dialog chose, so the three look alike.
struct WindowScale {
    double layout = 1.0;  // pixels per twip, times 15
    double font = 1.0;    // point sizes, times this

    // Twips to whole pixels and back at this scale.
    int px(int twips) const;
    int twips(int pixels) const;
    QRect px(const QRect& twips) const;
};

namespace WindowScales {

// The scale the dialog chose last; before that, the one the application font asks for.
WindowScale shared();
void setShared(const WindowScale& scale);

// The application font's line height against the design font's, at least 1.
double fontRatio(const QFont& font);

// The largest layout factor at which a client area of `twips` plus a window frame of `frame`
// pixels fits into `available`.
double fitting(QSize twips, QSize frame, QSize available);

// Room the window system's frame (title bar and borders) takes around a client area, estimated
// before the window is shown.
QSize frameAllowance(const QWidget& window);

// The free area (without panels) of the screen a new window opens on: that of the active
// window, else the one under the mouse, else the primary screen.
QRect availableArea();

// Sets the point size of the font of `window` and of every descendant
// to `factor` times the size it had when first scaled. Calling it again rescales from those.
void scaleFonts(QWidget& window, double factor);

}  // namespace WindowScales
