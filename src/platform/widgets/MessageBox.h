#pragma once

#include "platform/Prompter.h"

#include <memory>

class QFileDialog;
class QMessageBox;
class QWidget;

// A desktop message box with the given buttons, icon and title, always on top, at least as
// wide as its title needs so that the window manager shows the title whole. Not yet shown.
std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, MsgBoxButtons buttons,
                                            MsgBoxIcon icon, const QString& title);
// Shows that box modally and returns the button pressed.
MsgBoxResult showMessageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title);

// The width a window needs for the title bar to show `title` whole beside its buttons.
int titleBarWidth(const QWidget& window, const QString& title);

// The desktop's file-open dialog with `filters`, the one at `initialFilter` selected. Not
// yet shown.
std::unique_ptr<QFileDialog> makeFileOpenDialog(const QString& title,
                                                const QList<FileFilter>& filters,
                                                qsizetype initialFilter);
// What the user chose in that dialog: a file, or a folder chosen whole; empty for none.
QString chosenFile(const QFileDialog& dialog);
// Shows that dialog modally; nothing when the user cancels.
std::optional<QString> showFileOpenDialog(const QString& title, const QList<FileFilter>& filters,
                                          qsizetype initialFilter);
