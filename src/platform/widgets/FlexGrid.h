#pragma once

#include <QTableView>

#include <vector>

class FlexGridModel;

// The flexible grid of the dialogs: a spreadsheet-like table with fixed header rows, cell
// texts by row and column, a current cell and a selection end, row append and removal, and a
// generic sort. Rows and columns are numbered from 0 including the fixed ones, so row 0 is
// the header row (shown as the table's column header); TextMatrix(0, c) is its text.
//
// Selection: Row/Col is the cell where the selection started (the anchor), RowSel/ColSel the
// opposite corner. Mouse and keyboard selections by the user update all four.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    enum SortSettings { flexSortGenericAscending = 1, flexSortGenericDescending = 2 };

    // 2 rows, 2 columns, 1 fixed row, 1 fixed column, like a fresh control.
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // Row count including fixed rows; growing adds blank rows, shrinking drops rows at the end.
    qsizetype Rows() const;
    void setRows(qsizetype rows);
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const;
    void setFixedRows(int rows);
    // Fixed columns are drawn shaded; they scroll with the data.
    int FixedCols() const;
    void setFixedCols(int cols);

    // Throws ConfluxError(SubscriptOutOfRange) for a cell outside the grid.
    QString TextMatrix(qsizetype row, int col) const;
    void setTextMatrix(qsizetype row, int col, const QString& text);

    // Current cell. Setting Col also makes the current cell the whole selection
    // (RowSel = Row, ColSel = Col); setting Row leaves RowSel as it is.
    qsizetype Row() const;
    void setRow(qsizetype row);
    int Col() const;
    void setCol(int col);
    // Selection end.
    qsizetype RowSel() const;
    void setRowSel(qsizetype row);
    int ColSel() const;
    void setColSel(int col);

    // Appends a row at the end; cells are split on TAB (missing cells stay empty).
    void AddItem(const QString& tabJoined);
    // Removes one row (fixed rows included); throws SubscriptOutOfRange outside the grid.
    void RemoveItem(qsizetype row);
    // Clears every cell's text, header included; the row and column counts stay.
    void Clear();

    // Column widths in twips (15 per pixel); width 0 hides the column.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    // The control's width in twips.
    int WidthTwips() const;

    // Generic sort of whole rows. Rows sorted: Row..RowSel (either order), or all data rows
    // when Row == RowSel. Key columns: Col..ColSel (either order), compared left to right.
    // Two cells compare as numbers when both hold a number (blanks trimmed, "." decimal
    // point, optional exponent), otherwise as texts ignoring letter case in every alphabet
    // (file names are case-insensitive on the systems this serves). Rows with equal keys keep
    // their order; fixed rows never move. Other values are ignored.
    // A key column that mixes numbers with texts starting with digits ("9", "10", "1a") has no
    // consistent order under this pairwise rule; such rows come out in some order, none lost.
    void setSort(int order);

    // Repaints the grid.
    void Refresh();

signals:
    void DblClick();

protected:
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void syncFromView();
    void syncToView();
    void checkRow(qsizetype row) const;
    void checkCol(int col) const;
    void applyLayout();
    void clampSelection();

    FlexGridModel* m_model;
    qsizetype m_row = 1;
    int m_col = 1;
    qsizetype m_rowSel = 1;
    int m_colSel = 1;
    std::vector<int> m_colTwips = std::vector<int>(2, -1);  // as set; -1 = never set
    bool m_syncing = false;
};
