#pragma once

#include "platform/Prompter.h"
#include "platform/Volumes.h"
#include "platform/widgets/FolderList.h"
#include "platform/widgets/ModalLoop.h"

#include <QComboBox>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QPushButton>

#include <array>
#include <functional>

// The drive-and-folder chooser: one instance per loaded library. Its result lives on between
// uses; its controls are created at each load and destroyed when it closes.
class FrmChDir : public QObject, public FolderChooser {
    Q_OBJECT
public:
    static FrmChDir& instance();

    bool presetDrive(const QString& path) override;
    bool presetFolder(const QString& path) override;
    // Shows the chooser modally and unloads it when it closes.
    void showModal() override;
    QString returnPath() const override { return ReturnPath; }

    // Loads the controls (presets load them too) and clears the result; showModal() runs this
    // and then the modal loop, so tests can show the prepared window without a modal loop.
    void prepareShow();
    void Load();
    void Unload();
    bool isLoaded() const { return !m_form.isNull(); }

    // The loaded controls, null while unloaded.
    QDialog* form() const { return m_form.data(); }
    QComboBox* Drive1() const { return m_drive.data(); }
    FolderList* Dir1() const { return m_dir.data(); }
    QPushButton* CmdOpenExit(int index) const;

    void Drive1_Change();
    void CmdOpenExit_Click(int index);
    void Form_Activate();

    // Where the unavailable-drive message goes: the prompter that handed the chooser out; by
    // default the desktop's.
    void setPrompter(Prompter* prompter) { m_prompter = prompter; }
    // Where the drive list comes from; by default the mounted volumes.
    void setVolumeSource(std::function<QList<Volume>()> source);

    // The chosen folder; empty after a cancel or the close box.
    QString ReturnPath;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrmChDir() = default;

    void createControls();
    void fillDrives();
    void selectDrive(qsizetype index, bool raiseChange);
    QString startFolderOn(const Volume& volume) const;
    Prompter& prompter();

    QPointer<QDialog> m_form;
    QPointer<QComboBox> m_drive;
    QPointer<FolderList> m_dir;
    std::array<QPointer<QPushButton>, 2> m_buttons;
    QList<Volume> m_volumes;
    std::function<QList<Volume>()> m_volumeSource;
    Prompter* m_prompter = nullptr;
    bool m_returningToDrive = false;
    ModalLoop m_modal;
};
