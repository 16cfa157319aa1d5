#pragma once

#include <QFrame>
#include <QPointer>

class QAbstractItemView;
class QLabel;
class QToolButton;

// A slim record-navigation bar: first, previous, its caption, next, last. The buttons move the
// current row of the view bound to it.
class DataControl : public QFrame {
    Q_OBJECT
public:
    explicit DataControl(QWidget* parent = nullptr);

    // A file name as the caption shows in its own code page (marked), and reads back as set.
    void setCaption(const QString& caption);
    QString caption() const;
    void bind(QAbstractItemView* view) { m_view = view; }

    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

    enum Button { First, Previous, Next, Last };
    QToolButton* button(Button which) const;

private:
    void moveTo(qsizetype row);
    qsizetype currentRow() const;

    QLabel* m_caption = nullptr;
    QString m_captionText;  // as set; the label shows a file name in its own code page
    QToolButton* m_buttons[4] = {};
    QPointer<QAbstractItemView> m_view;
};
