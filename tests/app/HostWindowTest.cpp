#include "HostWindow.h"

#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "platform/widgets/WindowScale.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

namespace {

// The host loads the built library from beside the executable, as it does on the desktop.
TEST(HostWindow, LoadsLibraryAndListsCommandUnderItsCategory) {
    HostWindow window;
    // Within the free area of a screen smaller than its usual size (the test's is 800x600).
    EXPECT_TRUE(WindowScales::availableArea().size().boundedTo(window.size()) == window.size());
    ASSERT_TRUE(window.loadCommand());
    QAction* action = window.commandAction();
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "Conflux");
    EXPECT_EQ(action->toolTip(), "Conflux");
    EXPECT_EQ(action->statusTip(), "Conflux");
    EXPECT_TRUE(action->isEnabled());
    EXPECT_FALSE(action->icon().isNull());
    EXPECT_EQ(action->icon().availableSizes().value(0), QSize(16, 16));

    auto* toolBar = window.findChild<QToolBar*>("Orvantis");
    ASSERT_NE(toolBar, nullptr);
    EXPECT_TRUE(toolBar->actions().contains(action));
    const auto menus = window.menuBar()->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), "&Orvantis");  // Alt+O

    // OnCreate handed the host's application object to the dialog.
    ASSERT_NE(frmConflux::instance().state().m_pApp, nullptr);
    EXPECT_EQ(frmConflux::instance().state().m_pApp->hWnd(),
              static_cast<std::int64_t>(window.winId()));
}

// The desktop entry's picture is also what both windows show in title bars and task switchers,
// at every size it is drawn in.
TEST(HostWindow, HostAndDialogShowTheProgramIcon) {
    const QList<QSize> sizes = {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    HostWindow window;
    EXPECT_EQ(window.windowIcon().availableSizes(), sizes);
    ConfluxForm form;
    EXPECT_EQ(form.windowIcon().availableSizes(), sizes);
    EXPECT_EQ(form.windowIcon().pixmap(16, 16).toImage().pixelColor(0, 0).alpha(), 0)
        << "the small picture keeps a transparent background";
}

}  // namespace
