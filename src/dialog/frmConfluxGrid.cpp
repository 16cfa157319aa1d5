// The candidate grid: clearing, candidate rows, the blank-row rule and the table viewer hook.
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "platform/widgets/FlexGrid.h"
#include "windows/FrmBrowse.h"

#include <algorithm>

void frmConflux::connectGridEvents() {
    connect(m_form->FlexGrid1, &FlexGrid::DblClick, this,
            [this] { runEvent("FlexGrid1_DblClick", [this] { FlexGrid1_DblClick(); }); });
}

void frmConflux::FlexGridClear() {
    FlexGrid* grid = m_form->FlexGrid1;
    grid->Clear();
    grid->setRows(2);
    grid->setTextMatrix(0, 0, QStringLiteral("файл"));
    grid->setTextMatrix(0, 1, QStringLiteral("поля"));
    grid->setTextMatrix(0, 2, QStringLiteral("записи"));
}

void frmConflux::appendCandidateRow(const QString& path) {
    appendGridRow(candidateRowCells(path));
}

void frmConflux::appendGridRow(const QStringList& cells) {
    FlexGrid* grid = m_form->FlexGrid1;
    const QChar tab = QLatin1Char('\t');
    const bool joinable = std::none_of(cells.begin(), cells.end(),
                                       [tab](const QString& c) { return c.contains(tab); });
    if (joinable) {
        grid->AddItem(cells.join(tab));
        return;
    }
    // A name with a TAB in it would be split across cells: set them one by one.
    grid->AddItem(QString());
    const qsizetype row = grid->Rows() - 1;
    for (int col = 0; col < cells.size() && col < grid->Cols(); ++col) {
        grid->setTextMatrix(row, col, cells.at(col));
    }
}

void frmConflux::applyBlankRowRule() {
    FlexGrid* grid = m_form->FlexGrid1;
    if (grid->Rows() > 2 && grid->TextMatrix(1, 0).isEmpty()) {
        grid->RemoveItem(1);
    }
}

qsizetype frmConflux::candidateCount() const {
    const FlexGrid* grid = m_form->FlexGrid1;
    if (grid->Rows() == 2 && grid->TextMatrix(1, 0).isEmpty()) {
        return 0;
    }
    return grid->Rows() - 1;
}

TableProp frmConflux::GetDBFTableProp(const QString& FullFileName) {
    return ::GetDBFTableProp(FullFileName);
}

void frmConflux::setViewerOpener(std::function<bool(const QString&)> opener) {
    m_viewerOpener = std::move(opener);
}

void frmConflux::FlexGrid1_DblClick() {
    const FlexGrid* grid = m_form->FlexGrid1;
    const QString path = grid->TextMatrix(grid->Row(), 0);
    // The viewer ends silently on a blank row or a table it cannot read.
    if (m_viewerOpener) {
        m_viewerOpener(path);
    } else {
        FrmBrowse::instance().openFor(path);
    }
}
