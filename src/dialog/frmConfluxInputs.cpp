// Editing the candidates (add, delete) and committing them as the input with its name lists.
#include "dialog/ConfluxForm.h"
#include "dialog/WorkAnimation.h"
#include "dialog/frmConflux.h"
#include "discovery/InputNames.h"
#include "platform/widgets/FlexGrid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace {

struct KeptRecord {
    QString path;
    QString fieldCount;
    QString recordCount;
};

}  // namespace

void frmConflux::connectInputEvents() {
    ConfluxForm* form = m_form.data();
    onClick(form->CmdAddFile, "CmdAddFile_Click", &frmConflux::CmdAddFile_Click);
    onClick(form->CmdDelFile, "CmdDelFile_Click", &frmConflux::CmdDelFile_Click);
    onClick(form->CmdToInput, "cmdToInput", &frmConflux::CmdToInput_Click);
}

void frmConflux::CmdAddFile_Click() {
    const qsizetype before = candidateCount();
    const qint64 found =
        getDirList(m_form->TxtsDir->text(), m_form->TxtFileMask->text().trimmed() + ".shp",
                   m_form->TxtDirMask->text().trimmed(), false);
    const qsizetype after = candidateCount();
    const qsizetype added = found != 0 ? after - before : 0;
    m_form->LblSelected->setText(QStringLiteral("Добавлено: ") + QString::number(added) +
                                 QStringLiteral(" файл(ов) Всего: ") + QString::number(after));
    ClearInput();
}

void frmConflux::CmdDelFile_Click() {
    // Any failure ends the deletion silently; the grid keeps what it holds by then.
    try {
        FlexGrid* grid = m_form->FlexGrid1;
        const qsizetype first = std::min(grid->Row(), grid->RowSel());
        const qsizetype last = std::max(grid->Row(), grid->RowSel());
        std::vector<KeptRecord> kept;
        for (qsizetype row = 1; row < grid->Rows(); ++row) {
            if (row < first || row > last) {
                kept.push_back(
                    {grid->TextMatrix(row, 0), grid->TextMatrix(row, 1), grid->TextMatrix(row, 2)});
            }
        }
        FlexGridClear();
        for (const KeptRecord& record : kept) {
            appendGridRow({record.path, record.fieldCount, record.recordCount,
                           GetFNameFromFullName(record.path)});
        }
        if (!kept.empty()) {
            grid->RemoveItem(1);
        }
        m_form->LblSelected->setText(QStringLiteral("Всего: ") + QString::number(candidateCount()));
        ClearInput();
    } catch (...) {
    }
}

void frmConflux::CmdToInput_Click() {
    m_form->ImageWork->setVisible(true);
    m_form->ImageWork->repaint();
    const qsizetype count = candidateCount();
    QStringList files;
    if (count >= 1) {
        files.reserve(count);
        for (qsizetype row = 1; row <= count; ++row) {
            files.append(m_form->FlexGrid1->TextMatrix(row, 0));
        }
    } else {
        files.append(QString());
    }
    m_state.FilesList = files;

    if (UpdateTablesArrayFromDir() == 0) {
        m_state.TablesArray.assign(1, nullptr);
        // Nothing is an input now: the lists must not go on offering what an earlier build
        // found, paired with the files of this one.
        m_state.TableNames.clear();
        m_state.ShapeTypes.clear();
        m_state.PointNames = m_state.LineNames = m_state.PolygonNames = QStringList{QString()};
        for (QComboBox* list : {m_form->CmbNames, m_form->CmbFileSource}) {
            const QSignalBlocker blocker(list);
            list->clear();
        }
        m_form->LblInputCount->setText(QStringLiteral("no data"));
        m_form->FrameOutput->setEnabled(false);
        m_form->FrameInput->setEnabled(true);
        m_form->ImageWork->setVisible(false);
        return;
    }
    m_form->FrameOutput->setEnabled(true);
    m_form->FrameInput->setEnabled(true);
    m_form->LblInputCount->setText(QString::number(m_state.TablesArray.size()));
    auto [points, lines, polygons] = inputNamesByKind(m_state.TableNames, m_state.ShapeTypes);
    m_state.PointNames = std::move(points);
    m_state.LineNames = std::move(lines);
    m_state.PolygonNames = std::move(polygons);
    UpdateCmbNames();
    UpdateCmbFileSource();
    m_form->FrameOutput->setEnabled(true);
    m_form->FrameInput->setEnabled(true);
    m_form->ImageWork->setVisible(false);
}
