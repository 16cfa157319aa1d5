// The dialog as a person uses it: Tab through the grid, clicks on overlapping options, a small
// screen, the window frame and its owner, a missing host.
#include "DialogFixture.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>

#include <functional>

namespace {

using UseTest = DialogFixture;

// What a control shows of itself: a label its text as wrapped and aligned, an option its
// circle and caption, anything else its whole box.
QRect shownRect(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        const int wrap = label->wordWrap() ? int(Qt::TextWordWrap) : 0;
        return label->fontMetrics()
            .boundingRect(label->contentsRect(), int(label->alignment()) | wrap, label->text())
            .translated(label->pos());
    }
    if (const auto* option = qobject_cast<const OptionButton*>(&widget)) {
        return option->visibleRect().translated(option->pos());
    }
    return widget.geometry();
}

// A control as a person would point at it: its kind and caption.
std::string named(const QWidget& widget) {
    QString caption;
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        caption = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        caption = button->text();
    return (QString::fromLatin1(widget.metaObject()->className()) + " '" + caption + "'")
        .toStdString();
}

// At every scale a desktop may set (a larger font, or fewer pixels a screen on a 1366x768
// screen with a panel) each caption shows whole, nothing shown covers another control, and the
// window fits the screen's free area.
TEST_F(UseTest, NoControlCoversAnotherAndTheWindowFitsAtEveryScale) {
    const QFont font = QApplication::font();
    const QRect laptop(0, 0, 1366, 736);
    for (const double factor : {1.0, 1.25, 1.5, 2.0}) {
        for (const bool largerFont : {true, false}) {
            SCOPED_TRACE(QStringLiteral("x%1, %2")
                             .arg(factor)
                             .arg(largerFont ? "font" : "screen")
                             .toStdString());
            QFont scaled = font;
            scaled.setPointSizeF(font.pointSizeF() * (largerFont ? factor : 1.0));
            QApplication::setFont(scaled);
            const QRect available(0, 0, int(laptop.width() / (largerFont ? 1.0 : factor)),
                                  int(laptop.height() / (largerFont ? 1.0 : factor)));
            const ConfluxForm window(available);
            EXPECT_TRUE(window.captionsFit())
                << window.scale().layout << " " << window.scale().font;
            const QRect outer(window.pos(), window.size() + WindowScales::frameAllowance(window));
            EXPECT_TRUE(available.contains(outer));
            QList<const QWidget*> containers{&window};
            for (const QGroupBox* frame : window.findChildren<QGroupBox*>())
                containers << frame;
            for (const QWidget* frame : containers) {
                QList<QWidget*> shown;
                for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (child->isVisibleTo(&window) && !qobject_cast<QGroupBox*>(child) &&
                        child->isWidgetType() && !child->isWindow())
                        shown << child;
                }
                for (QWidget* one : shown) {
                    for (QWidget* other : shown) {
                        EXPECT_FALSE(one < other && shownRect(*one).intersects(shownRect(*other)))
                            << named(*one) << " covers " << named(*other);
                    }
                }
            }
        }
    }
    QApplication::setFont(font);
}

TEST_F(UseTest, OnlyTheCloseBoxAndTheModalWindowStaysWithinReach) {
    const Qt::WindowFlags flags = form().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);  // no buttons beyond those asked for
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form().minimumSize(), form().maximumSize());

    QWidget owner;  // the host's window, blocked while the dialog runs
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"minimized (some window managers offer it anyway)", [] { form().showMinimized(); }},
        {"owner clicked, which activates it", [&owner] { owner.activateWindow(); }},
        {"minimized, then owner clicked",
         [&owner] {
             form().showMinimized();
             owner.activateWindow();
         }},
    };
    for (const auto& [way, act] : ways) {
        SCOPED_TRACE(way);
        loadAndShow();
        form().hide();
        bool inFront = false;
        QTimer::singleShot(0, [&] {
            act();
            inFront = QTest::qWaitFor([] {
                return !form().isMinimized() &&
                       QGuiApplication::focusWindow() == form().windowHandle();
            });
            form().close();
        });
        dialog().Show();  // modal, as the command shows it
        EXPECT_TRUE(inFront);
        EXPECT_FALSE(dialog().isLoaded());
    }
}

TEST_F(UseTest, ToInputWithoutAnApplicationSaysNothingSelectedOrReportsObjectNotSet) {
    ASSERT_EQ(dialog().state().m_pApp, nullptr);  // as after a failed OnCreate
    QTest::mouseClick(form().CmdToInput, Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), QStringList{"Nothing selected"});
    EXPECT_TRUE(errors.reports.texts.isEmpty());

    grid().AddItem("/d/roads.shp\t1\t2\troads");
    grid().RemoveItem(1);
    QTest::mouseClick(form().CmdToInput, Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), QStringList{"Nothing selected"});
    ASSERT_EQ(errors.reports.texts.size(), 1);
    const QString& report = errors.reports.texts[0];
    EXPECT_TRUE(report.contains("\r\n\tUpdateTablesArrayFromDir  \r\n")) << report.toStdString();
    EXPECT_TRUE(report.contains("Error Number \r\n\t91\r\n"));
    EXPECT_TRUE(report.contains("Description\r\n\tObject variable or With block variable not set"));
    EXPECT_EQ(form().LblInputCount->text(), "no data");
}

}  // namespace
