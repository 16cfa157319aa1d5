#include "platform/CallStackWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// Without a desktop (the command line) a report still has to reach the user.
class StandardErrorWindow : public ErrorWindow {
public:
    void setText(const QString& text) override { m_text = text; }
    void show(bool) override {
        std::fputs(m_text.toUtf8().constData(), stderr);
        std::fflush(stderr);
    }

private:
    QString m_text;
};

}  // namespace

std::unique_ptr<ErrorWindow> makeCallStackWindow() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return std::make_unique<StandardErrorWindow>();
    }
    return std::make_unique<CallStackWindow>();
}

CallStackWindow::CallStackWindow() : m_text(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Conflux2_v9"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* copy = buttons->addButton(tr("Copy"), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this, [this] {
        m_text->selectAll();
        m_text->copy();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(560, 300);
}

void CallStackWindow::setText(const QString& text) {
    // The report is laid out with CRLF; the editor keeps its own line ends.
    m_text->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString CallStackWindow::text() const {
    return m_text->toPlainText();
}

void CallStackWindow::show(bool modal) {
    if (modal) {
        exec();
    } else {
        QDialog::show();
    }
}
