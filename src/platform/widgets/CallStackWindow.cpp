#include "platform/widgets/CallStackWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

constexpr QSize kSmallest(560, 300);

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
    // A description is one long line: wrapped, it shows whole; a long report scrolls.
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
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
    resize(kSmallest);
}

void CallStackWindow::setText(const QString& text) {
    // The report is laid out with CRLF; the editor keeps its own line ends.
    m_text->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    fitToText();
}

// As large as the text needs, wrapped at its widest line, within most of the screen.
void CallStackWindow::fitToText() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QFontMetrics metrics(m_text->font());
    const int frame = 2 * m_text->frameWidth() + 2 * int(m_text->document()->documentMargin()) +
                      m_text->verticalScrollBar()->sizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    const int chrome = margins.left() + margins.right() + frame;
    int widest = 0;
    const QStringList lines = m_text->toPlainText().split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const int width = std::clamp(widest + chrome, kSmallest.width(), room.width() * 4 / 5);
    const int textWidth = std::max(1, width - chrome);
    int rows = 0;
    for (const QString& line : lines) {
        rows += std::max(1, (metrics.horizontalAdvance(line) + textWidth - 1) / textWidth);
    }
    const int below = margins.top() + margins.bottom() + frame + layout()->spacing() +
                      findChild<QDialogButtonBox*>()->sizeHint().height();
    const int height =
        std::clamp(rows * metrics.lineSpacing() + below, kSmallest.height(), room.height() * 4 / 5);
    resize(width, height);
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
