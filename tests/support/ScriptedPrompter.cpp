#include "support/ScriptedPrompter.h"

#include <QFileInfo>

bool ScriptedFolderChooser::presetDrive(const QString& path) {
    drivePresets << path;
    return !path.isEmpty();
}

bool ScriptedFolderChooser::presetFolder(const QString& path) {
    folderPresets << path;
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void ScriptedFolderChooser::showModal() {
    ++shown;
    m_returnPath = nextAnswer.value_or(QString());
}

MsgBoxResult ScriptedPrompter::messageBox(const QString& text, MsgBoxButtons buttons,
                                          MsgBoxIcon icon, const QString& title) {
    messages.append({text, buttons, icon, title});
    if (buttons == MsgBoxButtons::Ok) {
        return MsgBoxResult::Ok;
    }
    if (answers.empty()) {
        return MsgBoxResult::No;
    }
    const MsgBoxResult answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompter::openFile(const QString& title,
                                                  const QList<FileFilter>& filters,
                                                  qsizetype initialFilter) {
    fileDialogTitles << title;
    fileDialogFilters << filters;
    fileDialogInitialFilters << initialFilter;
    if (files.empty() || !files.front()) {
        if (!files.empty())
            files.pop_front();
        return std::nullopt;
    }
    const QString answer = *files.front();
    files.pop_front();
    return answer;
}
