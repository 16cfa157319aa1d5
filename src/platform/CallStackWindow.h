#pragma once

#include "errors/ErrorWindow.h"

#include <QDialog>

class QPlainTextEdit;

// Shows a call-stack report as selectable, copyable text.
class CallStackWindow : public QDialog, public ErrorWindow {
    Q_OBJECT
public:
    CallStackWindow();

    void setText(const QString& text) override;
    void show(bool modal) override;
    QString text() const;

private:
    QPlainTextEdit* m_text;
};
