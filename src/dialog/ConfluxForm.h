#pragma once

#include <QDialog>

// The controls of the merge dialog: created at each load, destroyed at each unload.
class ConfluxForm : public QDialog {
    Q_OBJECT
public:
    explicit ConfluxForm(QWidget* parent = nullptr);

signals:
    void activated();

protected:
    void changeEvent(QEvent* event) override;
};
