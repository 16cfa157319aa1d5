#include "platform/widgets/MessageBox.h"

#include "platform/ModalRaise.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStringList>

namespace {
constexpr char kChosenFolder[] = "confluxChosenFolder";
}  // namespace

int titleBarWidth(const QWidget& window, const QString& title) {
    QFont bold = window.font();
    bold.setBold(true);  // most window managers draw titles in bold
    // The window's icon and up to three buttons, each about a title bar high, and margins.
    constexpr int kTitleBarItems = 6;
    return QFontMetrics(bold).horizontalAdvance(title) +
           kTitleBarItems * (window.fontMetrics().height() + 4);
}

std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, MsgBoxButtons buttons,
                                            MsgBoxIcon icon, const QString& title) {
    auto box = std::make_unique<QMessageBox>(
        icon == MsgBoxIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title, text);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    if (buttons == MsgBoxButtons::YesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    // The box sizes itself to its layout alone; a spacer across it makes room for the title.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(titleBarWidth(*box, title), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

MsgBoxResult showMessageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title) {
    ModalRaise::install();
    const int answer = makeMessageBox(text, buttons, icon, title)->exec();
    if (buttons == MsgBoxButtons::YesNo) {
        return answer == QMessageBox::Yes ? MsgBoxResult::Yes : MsgBoxResult::No;
    }
    return MsgBoxResult::Ok;
}

std::unique_ptr<QFileDialog> makeFileOpenDialog(const QString& title,
                                                const QList<FileFilter>& filters,
                                                qsizetype initialFilter) {
    QStringList nameFilters;
    for (const FileFilter& filter : filters) {
        nameFilters << filter.description + QStringLiteral(" (") + filter.pattern +
                           QLatin1Char(')');
    }
    auto dialog = std::make_unique<QFileDialog>(nullptr, title);
    dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(nameFilters);
    if (initialFilter >= 0 && initialFilter < nameFilters.size()) {
        dialog->selectNameFilter(nameFilters.at(initialFilter));
    }
    // A folder that is a geodatabase is chosen when the user opens it (Open on it, or a
    // double-click): the dialog would otherwise only enter it, and never take it.
    QFileDialog* raw = dialog.get();
    QObject::connect(raw, &QFileDialog::directoryEntered, raw, [raw, filters](const QString& dir) {
        for (const FileFilter& filter : filters) {
            if (!filter.folderEnding.isEmpty() &&
                dir.endsWith(filter.folderEnding, Qt::CaseInsensitive)) {
                raw->setProperty(kChosenFolder, dir);
                static_cast<QDialog*>(raw)->done(QDialog::Accepted);
                return;
            }
        }
    });
    return dialog;
}

QString chosenFile(const QFileDialog& dialog) {
    const QString folder = dialog.property(kChosenFolder).toString();
    if (!folder.isEmpty() || dialog.selectedFiles().isEmpty()) {
        return folder;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> showFileOpenDialog(const QString& title, const QList<FileFilter>& filters,
                                          qsizetype initialFilter) {
    ModalRaise::install();
    const auto dialog = makeFileOpenDialog(title, filters, initialFilter);
    if (dialog->exec() != QDialog::Accepted || chosenFile(*dialog).isEmpty()) {
        return std::nullopt;
    }
    return chosenFile(*dialog);
}
