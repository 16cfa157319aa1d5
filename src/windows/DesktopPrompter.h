#pragma once

#include "platform/Prompter.h"

// The prompter of the desktop: real message boxes, the file-open dialog and the folder chooser.
class DesktopPrompter : public Prompter {
public:
    static DesktopPrompter& instance();

    using Prompter::messageBox;
    MsgBoxResult messageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title) override;
    std::optional<QString> openFile(const QString& title, const QList<FileFilter>& filters,
                                    qsizetype initialFilter) override;
    FolderChooser& folderChooser() override;
};
