// The sort buttons of the candidate grid.
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "platform/widgets/FlexGrid.h"

#include <QPushButton>
#include <QToolButton>

namespace {
// The hidden column that holds each candidate's base name.
constexpr int kBaseNameColumn = 3;
constexpr int kAscendingByName = 1;
constexpr int kDescendingByName = 0;
}  // namespace

void frmConflux::connectSortEvents() {
    ConfluxForm* form = m_form.data();
    onClick(form->CmdSortAss, "CmdSortAss_Click", &frmConflux::CmdSortAss_Click);
    onClick(form->CmdSortDesc, "CmdSortDesc_Click", &frmConflux::CmdSortDesc_Click);
    onClick(form->CmdSortByName, "CmdSortByName_Click", &frmConflux::CmdSortByName_Click);
}

void frmConflux::CmdSortAss_Click() {
    FlexGrid* grid = m_form->FlexGrid1;
    // The current column alone is the key; the selected rows stay the range sorted.
    grid->setColSel(grid->Col());
    grid->setSort(FlexGrid::flexSortGenericAscending);
    grid->Refresh();
}

void frmConflux::CmdSortDesc_Click() {
    // Keys are the selected columns as the user left them.
    FlexGrid* grid = m_form->FlexGrid1;
    grid->setSort(FlexGrid::flexSortGenericDescending);
    grid->Refresh();
}

void frmConflux::CmdSortByName_Click() {
    FlexGrid* grid = m_form->FlexGrid1;
    // Making the name column current also collapses the selection: all data rows are sorted.
    grid->setCol(kBaseNameColumn);
    if (m_state.SortState == kAscendingByName) {
        grid->setSort(FlexGrid::flexSortGenericDescending);
        grid->Refresh();
        m_state.SortState = kDescendingByName;
    } else {
        grid->setSort(FlexGrid::flexSortGenericAscending);
        grid->Refresh();
        m_state.SortState = kAscendingByName;
    }
}
