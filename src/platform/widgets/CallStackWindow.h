#pragma once

#include "errors/ErrorWindow.h"

#include <QDialog>

class QPlainTextEdit;

// Shows a call-stack report as selectable, copyable text, wrapped, in a window as large as the
// text needs within most of the screen (scrolling beyond).
class CallStackWindow : public QDialog, public ErrorWindow {
    Q_OBJECT
public:
    CallStackWindow();

    void setText(const QString& text) override;
    void show(bool modal) override;
    QString text() const;

private:
    void fitToText();

    QPlainTextEdit* m_text;
};
