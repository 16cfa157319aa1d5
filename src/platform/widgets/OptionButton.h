#pragma once

#include <QRadioButton>

// An option button that takes the mouse only where it shows something: its circle and its
// caption. Options laid out over one another's empty right part then leave a click there to
// the option that shows under it, so a click on a visible circle or caption always selects that
// option.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr);

    // The circle and the caption, in the button's own coordinates.
    QRect visibleRect() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateMask();
};
