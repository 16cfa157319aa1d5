// The directory scan: the walk with the dialog's depth field and progress sign, and the grid
// it fills.
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "discovery/DirWalk.h"
#include "discovery/ScanRoot.h"
#include "errors/ConfluxError.h"
#include "platform/Prompter.h"
#include "platform/widgets/FlexGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QToolButton>

namespace {

constexpr qint64 kSignPaintMs = 30;

}  // namespace

void frmConflux::connectScanEvents() {
    ConfluxForm* form = m_form.data();
    onClick(form->CmdGetDir, "CmdGetDir_Click", &frmConflux::CmdGetDir_Click);
    onClick(form->CmdFindPath, "CmdFindPath_Click", &frmConflux::CmdFindPath_Click);
}

void frmConflux::turnProgressSign() {
    m_progressSign = m_progressSign == QLatin1Char('/') ? QLatin1Char('\\') : QLatin1Char('/');
    if (!m_signPainted.isValid() || m_signPainted.elapsed() >= kSignPaintMs) {
        m_form->LblSelected->setText(m_progressSign);
        m_form->LblSelected->repaint();
        m_signPainted.start();
    }
}

std::optional<QStringList> frmConflux::DirList(const QString& StartDir, const QString& FileMask,
                                               const QString& DirMask) {
    QLineEdit* depthField = m_form->TxtDepthLevel;
    const DirWalk walk(
        FileMask, DirMask, [depthField] { return leadingNumber(depthField->text()); },
        [this] { turnProgressSign(); });
    // The sign goes on from what the label shows: "/" turns to "\", anything else to "/".
    m_progressSign =
        m_form->LblSelected->text() == QLatin1String("/") ? QLatin1Char('/') : QLatin1Char('\\');
    m_signPainted.invalidate();
    int level = static_cast<int>(m_state.RecursCount);
    std::optional<QStringList> found;
    try {
        found = walk.DirList(StartDir, level);
    } catch (...) {
        m_state.RecursCount = level;
        throw;
    }
    m_state.RecursCount = level;
    if (m_signPainted.isValid()) {
        m_form->LblSelected->setText(m_progressSign);  // the last turn, painted or not
    }
    return found;
}

qint64 frmConflux::getDirList(const QString& strStartDir, const QString& FileMask,
                              const QString& DirMask, bool NewSelection) {
    if (!scanRootAnswers(strStartDir)) {
        prompter().messageBox(missingScanRootText(), MsgBoxButtons::Ok, MsgBoxIcon::Exclamation);
        return 0;
    }
    if (strStartDir.isEmpty()) {
        return 0;  // an empty root would be read as the root folder "/"
    }
    try {
        // A mask that is no pattern is refused before the grid or anything else changes.
        (void)WildcardMask(FileMask);
        (void)WildcardMask(DirMask);
    } catch (const ConfluxError& error) {
        prompter().messageBox(error.description(), MsgBoxButtons::Ok, MsgBoxIcon::Exclamation);
        return 0;
    }
    FlexGrid* grid = m_form->FlexGrid1;
    qsizetype foundCount = 0;
    try {
        if (NewSelection) {
            FlexGridClear();
            m_state.RecursCount = 0;
            m_state.FilesList = DirList(strStartDir, FileMask, DirMask).value_or(QStringList());
            foundCount = m_state.FilesList->size();
            for (const QString& path : *m_state.FilesList) {
                appendCandidateRow(path);
            }
        } else {
            const QStringList found =
                DirList(strStartDir, FileMask, DirMask).value_or(QStringList());
            foundCount = found.size();
            QSet<QString> listed;
            for (qsizetype row = 1; row < grid->Rows(); ++row) {
                listed.insert(grid->TextMatrix(row, 0));
            }
            for (const QString& path : found) {
                if (!listed.contains(path)) {
                    appendCandidateRow(path);
                    listed.insert(path);
                }
            }
        }
        applyBlankRowRule();
    } catch (const std::exception&) {
        return 0;  // the rows appended so far stay
    }
    return foundCount;
}

void frmConflux::CmdGetDir_Click() {
    const qint64 found =
        getDirList(m_form->TxtsDir->text(), m_form->TxtFileMask->text().trimmed() + ".shp",
                   m_form->TxtDirMask->text().trimmed(), true);
    m_form->LblSelected->setText(scanResultText(found));
    ClearInput();
}

void frmConflux::CmdFindPath_Click() {
    FolderChooser& chooser = prompter().folderChooser();
    const QString root = m_form->TxtsDir->text();
    chooser.presetDrive(root);
    chooser.presetFolder(root);
    chooser.showModal();
    const QString chosen = chooser.returnPath();
    if (!chosen.isEmpty()) {
        m_form->TxtsDir->setText(chosen);
    }
}
