#pragma once

#include "platform/Prompter.h"

// A modal desktop message box with the given buttons, icon and title, always on top.
MsgBoxResult showMessageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title);

// The desktop's file-open dialog; nothing when the user cancels.
std::optional<QString> showFileOpenDialog(const QString& title, const QList<FileFilter>& filters);
