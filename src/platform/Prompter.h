#pragma once

#include <QList>
#include <QString>

#include <optional>

// Everything modal the system asks of the user goes through this interface, so tests can
// script the answers instead of closing windows from timers.

enum class MsgBoxButtons { Ok, YesNo };
enum class MsgBoxIcon { None, Exclamation };
enum class MsgBoxResult { Ok, Yes, No };

// The title a message box shows when the caller gives none: the library's application title.
inline QString defaultMsgBoxTitle() {
    return QStringLiteral("Conflux2_v9");
}

struct FileFilter {
    QString description;
    QString pattern;
    // Where not empty, the ending (".gdb", case ignored) of folders that are chosen whole, as
    // a File Geodatabase is: entering one in the dialog chooses it.
    QString folderEnding = {};
};

// The folder chooser protocol: the caller presets it, shows it modally, then reads the result.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // Each preset reports whether it applied; one that does not apply changes nothing.
    virtual bool presetDrive(const QString& path) = 0;
    virtual bool presetFolder(const QString& path) = 0;
    virtual void showModal() = 0;
    // The chosen folder, or empty when the chooser was cancelled or closed.
    virtual QString returnPath() const = 0;
};

class Prompter {
public:
    virtual ~Prompter() = default;

    virtual MsgBoxResult messageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                                    const QString& title) = 0;
    MsgBoxResult messageBox(const QString& text, MsgBoxButtons buttons = MsgBoxButtons::Ok,
                            MsgBoxIcon icon = MsgBoxIcon::None) {
        return messageBox(text, buttons, icon, defaultMsgBoxTitle());
    }

    // The system's file-open dialog opened on the filter at `initialFilter`; nothing when the
    // user cancels.
    virtual std::optional<QString> openFile(const QString& title, const QList<FileFilter>& filters,
                                            qsizetype initialFilter) = 0;

    // The one shared folder chooser of the library.
    virtual FolderChooser& folderChooser() = 0;
};
