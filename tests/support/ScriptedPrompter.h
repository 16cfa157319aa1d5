#pragma once

#include "platform/Prompter.h"

#include <QStringList>

#include <deque>
#include <optional>

// A message box as the user saw it.
struct ShownMessage {
    QString text;
    MsgBoxButtons buttons;
    MsgBoxIcon icon;
    QString title;
};

// A folder chooser whose answer the test sets; it records the presets it was given.
class ScriptedFolderChooser : public FolderChooser {
public:
    bool presetDrive(const QString& path) override;
    bool presetFolder(const QString& path) override;
    void showModal() override;
    QString returnPath() const override { return m_returnPath; }

    // What "Открыть" returns on the next show; nothing means the user cancels.
    std::optional<QString> nextAnswer;
    QStringList drivePresets;
    QStringList folderPresets;
    int shown = 0;

private:
    QString m_returnPath;
};

// Answers modal questions from a script and records every one asked.
class ScriptedPrompter : public Prompter {
public:
    using Prompter::messageBox;
    MsgBoxResult messageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title) override;
    std::optional<QString> openFile(const QString& title, const QList<FileFilter>& filters,
                                    qsizetype initialFilter) override;
    FolderChooser& folderChooser() override { return chooser; }

    // Answers to Yes/No questions, in order; a question with no scripted answer gets No.
    std::deque<MsgBoxResult> answers;
    // Answers of the file-open dialog, in order; none left means the user cancels.
    std::deque<std::optional<QString>> files;

    QList<ShownMessage> messages;
    QStringList fileDialogTitles;
    QList<QList<FileFilter>> fileDialogFilters;
    QList<qsizetype> fileDialogInitialFilters;
    ScriptedFolderChooser chooser;
};
