#include "platform/MessageBox.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

MsgBoxResult showMessageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title) {
    QMessageBox box(icon == MsgBoxIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    title, text);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (buttons == MsgBoxButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int answer = box.exec();
    if (buttons == MsgBoxButtons::YesNo) {
        return answer == QMessageBox::Yes ? MsgBoxResult::Yes : MsgBoxResult::No;
    }
    return MsgBoxResult::Ok;
}

std::optional<QString> showFileOpenDialog(const QString& title, const QList<FileFilter>& filters) {
    QStringList nameFilters;
    for (const FileFilter& filter : filters) {
        nameFilters << filter.description + QStringLiteral(" (") + filter.pattern +
                           QLatin1Char(')');
    }
    QFileDialog dialog(nullptr, title);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}
