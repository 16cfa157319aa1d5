// The dialog's scale: large enough for every caption, small enough for the screen.
#include "dialog/ConfluxForm.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr QSize kClientTwips(9510, 9105);
constexpr double kScaleStep = 0.01;
constexpr double kLargestScale = 2.0;
// Below these a window no longer reads; a screen that small gets a window that spills over.
constexpr double kSmallestScale = 0.5;
constexpr double kSmallestFont = 0.3;

// What a control needs to show its caption whole, or an empty size when it shows none. Picture
// and option buttons need their style's margins when `withMargins`; without, those margins,
// which do not shrink with the font, give way on a small screen.
QSize neededFor(const QWidget* widget, QSize room, bool withMargins) {
    const QFontMetrics metrics(widget->font());
    if (const auto* text = qobject_cast<const QLabel*>(widget)) {
        if (text->text().isEmpty()) {
            return {};
        }
        return metrics
            .boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap | Qt::AlignLeft,
                          text->text())
            .size();
    }
    if (const auto* option = qobject_cast<const OptionButton*>(widget)) {
        if (withMargins) {
            return option->sizeHint();
        }
        const int circle = option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight);
        return {option->sizeHint().width(), std::max(circle, metrics.height())};
    }
    if (const auto* picture = qobject_cast<const QToolButton*>(widget)) {
        if (withMargins) {
            return widget->sizeHint();
        }
        QSize content = picture->iconSize();
        if (!picture->text().isEmpty()) {
            content.rwidth() =
                std::max(content.width(), metrics.horizontalAdvance(picture->text()));
            content.rheight() += metrics.height();
        }
        return content + QSize(4, 4);
    }
    if (const auto* push = qobject_cast<const QPushButton*>(widget)) {
        return {metrics.horizontalAdvance(push->text()) + 6, metrics.height() + 4};
    }
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
        return {0, metrics.height() + 2};
    }
    return {};
}

}  // namespace

double ConfluxForm::fittingScale() const {
    double scale = WindowScales::fontRatio(font());
    while (scale < kLargestScale && !captionsFit(scale)) {
        scale += kScaleStep;
    }
    return scale;
}

bool ConfluxForm::captionsFit(double layout, bool withMargins) const {
    for (const auto& [widget, twips] : m_twipGeometry) {
        const int width = std::min(twips.width(), m_roomTwips.value(widget, twips.width()));
        if (width == 0) {
            continue;  // a caption shown inside its field
        }
        const QSize room(static_cast<int>(width * layout / 15.0),
                         static_cast<int>(twips.height() * layout / 15.0));
        const QSize needed = neededFor(widget, room, withMargins);
        if (needed.width() > room.width() || needed.height() > room.height()) {
            return false;
        }
    }
    return true;
}

void ConfluxForm::chooseScale(QSize available) {
    const double wanted = fittingScale();
    const double fits =
        WindowScales::fitting(kClientTwips, WindowScales::frameAllowance(*this), available);
    m_scale = {std::min(wanted, std::max(fits, kSmallestScale)), 1.0};
    if (m_scale.layout >= wanted) {
        return;
    }
    // Below the size it was drawn for, the pictures shrink with the buttons that show them.
    if (m_scale.layout < 1.0) {
        for (QToolButton* button : findChildren<QToolButton*>()) {
            const QSize drawn = button->icon().availableSizes().value(0, button->iconSize());
            button->setIconSize(drawn * m_scale.layout);
        }
    }
    // The whole window shrinks, fonts and option circles included, until the captions fit.
    m_optionStyle = new ScaledIndicatorStyle(1.0);
    m_optionStyle->setParent(this);
    for (OptionButton* option : findChildren<OptionButton*>()) {
        option->setStyle(m_optionStyle);
    }
    const auto shrink = [this](double font) {
        m_scale.font = font;
        m_optionStyle->setFactor(std::min(1.0, font));
        WindowScales::scaleFonts(*this, font);
    };
    shrink(m_scale.layout / wanted);
    while (m_scale.font > kSmallestFont && !captionsFit(m_scale.layout, false)) {
        shrink(m_scale.font - kScaleStep);
    }
}

void ConfluxForm::limitRooms() {
    for (auto& [widget, twips] : m_twipGeometry) {
        const bool isOption = qobject_cast<OptionButton*>(widget) != nullptr;
        if (!isOption && qobject_cast<QLabel*>(widget) == nullptr) {
            continue;
        }
        for (const auto& [other, otherTwips] : m_twipGeometry) {
            // An option gives way to the next option, a caption to the controls it overlaps.
            const bool otherIsOption = qobject_cast<OptionButton*>(other) != nullptr;
            if (other == widget || other->parent() != widget->parent() ||
                !otherTwips.intersects(twips) || isOption != otherIsOption ||
                qobject_cast<QLabel*>(other) != nullptr) {
                continue;
            }
            if (otherTwips.x() > twips.x()) {
                const int room = otherTwips.x() - twips.x();
                m_roomTwips[widget] = std::min(m_roomTwips.value(widget, room), room);
            } else if (!isOption && otherTwips.right() >= twips.right()) {
                m_roomTwips[widget] = 0;  // covered whole: shown in the field instead
            } else if (!isOption) {
                twips.setLeft(otherTwips.x() + otherTwips.width());
            }
        }
    }
}

void ConfluxForm::trimTouchingEdges() {
    // Neighbours drawn a twip or two into each other (a pixel once scaled) are trimmed apart;
    // options overlap by design and captions were given room above.
    std::vector<QWidget*> boxes;
    for (const auto& entry : m_twipGeometry) {
        if (qobject_cast<OptionButton*>(entry.first) == nullptr &&
            qobject_cast<QLabel*>(entry.first) == nullptr &&
            qobject_cast<QGroupBox*>(entry.first) == nullptr) {
            boxes.push_back(entry.first);
        }
    }
    constexpr int kTouch = 2;
    for (QWidget* one : boxes) {
        for (QWidget* other : boxes) {
            QRect below = other->geometry();
            const QRect shared = one->geometry() & below;
            if (one == other || one->parent() != other->parent() || shared.isEmpty()) {
                continue;
            }
            if (shared.height() <= kTouch && below.top() > one->geometry().top()) {
                below.setTop(below.top() + shared.height());
            } else if (shared.width() <= kTouch && below.left() > one->geometry().left()) {
                below.setLeft(below.left() + shared.width());
            }
            other->setGeometry(below);
        }
    }
}

void ConfluxForm::styleFrames() {
    // The caption sits on the frame's top line, so controls placed just below the caption are
    // inside the frame.
    const int half = fontMetrics().height() / 2;
    for (QGroupBox* frame : {Frame2, FrameInput, FrameOutput}) {
        frame->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); "
                                            "border-radius: 2px; margin-top: %1px; }"
                                            "QGroupBox::title { subcontrol-origin: margin; "
                                            "left: 6px; padding: 0 2px; }")
                                 .arg(half));
    }
}

void ConfluxForm::applyGeometry() {
    for (const auto& [widget, twips] : m_twipGeometry) {
        QRect box = twips;
        // A caption wraps within its room, so no line of it runs under the next control.
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            box.setWidth(std::min(box.width(), m_roomTwips.value(widget, box.width())));
        }
        widget->setGeometry(m_scale.px(box));
    }
    trimTouchingEdges();
    setFixedSize(m_scale.px(kClientTwips.width()), m_scale.px(kClientTwips.height()));
}
