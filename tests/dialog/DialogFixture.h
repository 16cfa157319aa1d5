#pragma once

#include "dialog/ConfluxForm.h"
#include "dialog/WorkAnimation.h"
#include "dialog/frmConflux.h"
#include "platform/widgets/FlexGrid.h"

#include "support/CapturedErrorWindow.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QWindow>

// Scripted questions that also record whether the busy picture showed when each was asked.
class BusyAwarePrompter : public ScriptedPrompter {
public:
    using ScriptedPrompter::messageBox;
    MsgBoxResult messageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title) override {
        const ConfluxForm* form = frmConflux::instance().form();
        busyWhenAsked << (form != nullptr && form->ImageWork->isVisible());
        return ScriptedPrompter::messageBox(text, buttons, icon, title);
    }
    QStringList texts() const {
        QStringList shown;
        for (const ShownMessage& m : messages)
            shown << m.text;
        return shown;
    }
    QList<bool> busyWhenAsked;
};

// The one dialog, loaded and shown without its modal loop, with fresh window-level state and
// scripted modal questions.
class DialogFixture : public ::testing::Test {
public:
    // Types text as key presses, Cyrillic included (QTest::keyClicks knows ASCII only).
    static void typeText(QWidget* widget, const QString& text) {
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    static void retype(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        typeText(box, text);
    }
    // Clicks at `at` of `widget` as the mouse does: through the window, so whatever control
    // shows at that point takes the click.
    static void clickAt(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(widget->window(), at));
    }
    // Clicks the left part of an option's circle.
    static void clickOption(OptionButton* option) {
        const QRect visible = option->visibleRect();
        clickAt(option, QPoint(visible.left() + 2, visible.center().y()));
    }
    static QStringList items(const QComboBox* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    }
    // One column of the candidate grid's data rows, top to bottom.
    static QStringList column(int col) {
        QStringList cells;
        for (qsizetype row = 1; row < grid().Rows(); ++row)
            cells << grid().TextMatrix(row, col);
        return cells;
    }

protected:
    void SetUp() override {
        TearDown();
        dialog().setPrompter(&prompter);
        loadAndShow();
    }

    void TearDown() override {
        dialog().Unload();
        flushDeletes();
        dialog().state() = ConfluxState{};
        dialog().setPrompter(nullptr);
    }

    static frmConflux& dialog() { return frmConflux::instance(); }
    static ConfluxForm& form() { return *dialog().form(); }
    static FlexGrid& grid() { return *form().FlexGrid1; }

    static void loadAndShow() {
        dialog().Load();
        form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }

    // Controls unloaded from inside their own events are deleted once control returns to the
    // event loop.
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    BusyAwarePrompter prompter;
    ErrorCapture errors;
};
