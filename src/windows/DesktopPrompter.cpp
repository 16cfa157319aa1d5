#include "windows/DesktopPrompter.h"

#include "platform/widgets/MessageBox.h"
#include "windows/FrmChDir.h"

DesktopPrompter& DesktopPrompter::instance() {
    static DesktopPrompter prompter;
    return prompter;
}

MsgBoxResult DesktopPrompter::messageBox(const QString& text, MsgBoxButtons buttons,
                                         MsgBoxIcon icon, const QString& title) {
    return showMessageBox(text, buttons, icon, title);
}

std::optional<QString> DesktopPrompter::openFile(const QString& title,
                                                 const QList<FileFilter>& filters,
                                                 qsizetype initialFilter) {
    return showFileOpenDialog(title, filters, initialFilter);
}

FolderChooser& DesktopPrompter::folderChooser() {
    FrmChDir::instance().setPrompter(this);
    return FrmChDir::instance();
}
