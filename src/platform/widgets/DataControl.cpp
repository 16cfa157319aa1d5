#include "platform/widgets/DataControl.h"

#include "platform/FileNameCodec.h"

#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

DataControl::DataControl(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    const char* const arrows[4] = {"|◀", "◀", "▶", "▶|"};
    void (DataControl::*const moves[4])() = {&DataControl::moveFirst, &DataControl::movePrevious,
                                             &DataControl::moveNext, &DataControl::moveLast};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QToolButton(this);
        m_buttons[i]->setText(QString::fromUtf8(arrows[i]));
        m_buttons[i]->setAutoRaise(true);
        m_buttons[i]->setFocusPolicy(Qt::NoFocus);
        connect(m_buttons[i], &QToolButton::clicked, this, moves[i]);
    }
    m_caption = new QLabel(this);
    m_caption->setTextFormat(Qt::PlainText);
    // A long path keeps its end, the table's name, in view.
    m_caption->setMinimumWidth(0);
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_buttons[First]);
    layout->addWidget(m_buttons[Previous]);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_buttons[Next]);
    layout->addWidget(m_buttons[Last]);
}

void DataControl::setCaption(const QString& caption) {
    m_captionText = caption;
    m_caption->setText(FileNameCodec::shown(caption, true));
    m_caption->setToolTip(m_caption->text());
}

QString DataControl::caption() const {
    return m_captionText;
}

QToolButton* DataControl::button(Button which) const {
    return m_buttons[which];
}

qsizetype DataControl::currentRow() const {
    return m_view && m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1;
}

void DataControl::moveFirst() {
    moveTo(0);
}

void DataControl::movePrevious() {
    moveTo(qMax<qsizetype>(currentRow() - 1, 0));
}

void DataControl::moveNext() {
    if (m_view && m_view->model() && currentRow() + 1 >= m_view->model()->rowCount() &&
        m_view->model()->canFetchMore({})) {
        m_view->model()->fetchMore({});
    }
    moveTo(currentRow() + 1);
}

void DataControl::moveLast() {
    if (!m_view || !m_view->model()) {
        return;
    }
    // A model that offers its rows in batches must offer them all before the last is reached.
    QAbstractItemModel* model = m_view->model();
    while (model->canFetchMore({})) {
        model->fetchMore({});
    }
    moveTo(model->rowCount() - 1);
}

void DataControl::moveTo(qsizetype row) {
    if (!m_view || !m_view->model()) {
        return;
    }
    const qsizetype rows = m_view->model()->rowCount();
    if (rows == 0) {
        return;
    }
    row = qBound<qsizetype>(0, row, rows - 1);
    const int column = qMax(m_view->currentIndex().column(), 0);
    const QModelIndex target = m_view->model()->index(static_cast<int>(row), column);
    m_view->setCurrentIndex(target);
    m_view->scrollTo(target);
}
