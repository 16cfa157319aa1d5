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
constexpr double kSmallestFont = 0.5;

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
    // The whole window shrinks, fonts included, until the captions fit again.
    m_scale.font = m_scale.layout / wanted;
    WindowScales::scaleFonts(*this, m_scale.font);
    while (m_scale.font > kSmallestFont && !captionsFit(m_scale.layout, false)) {
        m_scale.font -= kScaleStep;
        WindowScales::scaleFonts(*this, m_scale.font);
    }
}

void ConfluxForm::limitOptionRooms() {
    std::vector<std::pair<QWidget*, QRect>> options;
    for (const auto& entry : m_twipGeometry) {
        if (qobject_cast<OptionButton*>(entry.first) != nullptr) {
            options.push_back(entry);
        }
    }
    for (const auto& [option, twips] : options) {
        for (const auto& [other, otherTwips] : options) {
            const bool sameRow = other->parent() == option->parent() &&
                                 otherTwips.intersects(twips) && otherTwips.x() > twips.x();
            if (sameRow) {
                const int room = otherTwips.x() - twips.x();
                m_roomTwips[option] = std::min(m_roomTwips.value(option, room), room);
            }
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
        widget->setGeometry(m_scale.px(twips));
    }
    setFixedSize(m_scale.px(kClientTwips.width()), m_scale.px(kClientTwips.height()));
}
