#pragma once

#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"

#include "support/CapturedErrorWindow.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

// The one dialog, loaded and shown without its modal loop, with fresh window-level state and
// scripted modal questions.
class DialogFixture : public ::testing::Test {
public:
    // Types text as key presses, Cyrillic included (QTest::keyClicks knows ASCII only).
    static void typeText(QWidget* widget, const QString& text) {
        for (const QChar ch : text) {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

protected:
    void SetUp() override {
        dialog().Unload();
        flushDeletes();
        dialog().state() = ConfluxState{};
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

    ScriptedPrompter prompter;
    ErrorCapture errors;
};
