#include "windows/DesktopPrompter.h"

#include "platform/MessageBox.h"

#include <QFileDialog>

namespace {

// Stand-in until the drive-and-folder chooser window exists.
class PlainFolderChooser : public FolderChooser {
public:
    bool presetDrive(const QString&) override { return false; }
    bool presetFolder(const QString& path) override {
        m_start = path;
        return true;
    }
    void showModal() override {
        m_result = QFileDialog::getExistingDirectory(nullptr, QString(), m_start);
    }
    QString returnPath() const override { return m_result; }

private:
    QString m_start;
    QString m_result;
};

}  // namespace

DesktopPrompter& DesktopPrompter::instance() {
    static DesktopPrompter prompter;
    return prompter;
}

MsgBoxResult DesktopPrompter::messageBox(const QString& text, MsgBoxButtons buttons,
                                         MsgBoxIcon icon, const QString& title) {
    return showMessageBox(text, buttons, icon, title);
}

std::optional<QString> DesktopPrompter::openFile(const QString& title,
                                                 const QList<FileFilter>& filters) {
    return showFileOpenDialog(title, filters);
}

FolderChooser& DesktopPrompter::folderChooser() {
    static PlainFolderChooser chooser;
    return chooser;
}
