// The output target: captions that follow the output type, and the proposed output name.
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"

#include "discovery/OutputName.h"
#include "discovery/PathNames.h"
#include "merge/OutputTarget.h"
#include "platform/Prompter.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Runs one step of a procedure whose steps each pass over their own failure.
template <typename Step>
void ignoringFailure(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

void frmConflux::connectOutputEvents() {
    ConfluxForm* form = m_form.data();
    connect(form->opOutputTypeGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) {
            runEvent("opOutputType_Click", [this, id] { opOutputType_Click(id); });
        }
    });
    connect(form->TxtFileMask, &QLineEdit::textChanged, this,
            [this] { runEvent("TxtFileMask_Change", [this] { TxtFileMask_Change(); }); });
    onClick(form->CmdFindPath2, "CmdFindPath2_Click", &frmConflux::CmdFindPath2_Click);
    // Losing the focus is not editingFinished (Enter also finishes): watch the focus itself.
    form->TxtPath->installEventFilter(this);
}

bool frmConflux::eventFilter(QObject* watched, QEvent* event) {
    if (m_form && watched == m_form->TxtPath && event->type() == QEvent::FocusOut) {
        // The window losing activation or a context menu opening keeps the focus in the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            runEvent("TxtPath_LostFocus", [this] { TxtPath_LostFocus(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void frmConflux::opOutputType_Click(int Index) {
    // The path and the name stay as typed: a path for one type is kept when switching.
    const bool geodatabase = Index != 0;
    m_form->TxtDataSet->setVisible(geodatabase);
    m_form->Label1->setVisible(geodatabase);
    m_form->setPathCaption(geodatabase ? QStringLiteral(".mdb Full Path")
                                       : QStringLiteral("Folder Path"));
    m_form->LblClassName->setText(geodatabase ? QStringLiteral("Feature Class")
                                              : QStringLiteral("File Name"));
}

void frmConflux::SetOutputFileName() {
    // Replaces whatever the user typed: the proposal follows every change of either mask.
    m_form->txtDataClassName->setText(
        proposedOutputName(m_form->TxtFileMask->text(), m_form->TxtFeatureMask->text()));
}

void frmConflux::TxtFileMask_Change() {
    SetOutputFileName();
}

QString frmConflux::GetFNameFromFullName(const QString& FullName) {
    return ::GetFNameFromFullName(FullName);
}

void frmConflux::CmdFindPath2_Click() {
    if (m_form->opOutputType[0]->isChecked()) {
        FolderChooser* chooser = nullptr;
        ignoringFailure([&] { chooser = &prompter().folderChooser(); });
        if (chooser == nullptr) {
            return;
        }
        const QString path = m_form->TxtPath->text();
        const QString root = m_form->TxtsDir->text();
        ignoringFailure([&] {
            if (!chooser->presetDrive(path)) {
                chooser->presetDrive(root);
            }
        });
        ignoringFailure([&] {
            if (!chooser->presetFolder(path)) {
                chooser->presetFolder(root);
            }
        });
        ignoringFailure([&] { chooser->showModal(); });
        ignoringFailure([&] {
            const QString chosen = chooser->returnPath();
            if (!chosen.isEmpty()) {
                m_form->TxtPath->setText(chosen);
            }
        });
        return;
    }
    std::optional<QString> file;
    // GeoPackage stands in for the geodatabase files this platform cannot write, so the
    // dialog opens on it: an existing GeoPackage shows at once. A File Geodatabase is a
    // folder: its entry shows every file, and any file chosen inside it names the folder.
    ignoringFailure([&] {
        file = prompter().openFile(
            QStringLiteral("Поиск файла "),
            {FileFilter{QStringLiteral("Personal Data Base *.mdb"), QStringLiteral("*.mdb")},
             FileFilter{QStringLiteral("GeoPackage *.gpkg"), QStringLiteral("*.gpkg")},
             FileFilter{QStringLiteral("File Geodatabase *.gdb"), QStringLiteral("*"),
                        QStringLiteral(".gdb")}},
            1);
    });
    if (file && !file->isEmpty()) {
        m_form->TxtPath->setText(chosenGeodatabase(*file));
    }
}

void frmConflux::TxtPath_LostFocus() {
    const QString path = m_form->TxtPath->text();
    // "/" is the root folder; without its separator it would name nothing.
    if (path.endsWith(QLatin1Char('/')) && path != QLatin1String("/")) {
        m_form->TxtPath->setText(path.chopped(1));
    }
}
