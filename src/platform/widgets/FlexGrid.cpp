#include "platform/widgets/FlexGrid.h"

#include "errors/ConfluxError.h"
#include "platform/widgets/FlexGridModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int TwipsPerPixel = 15;

// One key cell of a row, parsed once before sorting.
struct SortKey {
    bool isNumber = false;
    double number = 0.0;
    QString text;  // upper-cased
};

SortKey makeKey(const QString& cell) {
    SortKey key;
    static const QLocale cLocale = [] {
        QLocale locale = QLocale::c();
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        return locale;
    }();
    bool ok = false;
    const QStringView trimmed = QStringView(cell).trimmed();
    // Most names start with a letter: skip the number parser for them.
    const QChar lead = trimmed.isEmpty() ? QChar() : trimmed.front();
    const bool mayBeNumber = lead.isDigit() || lead == u'-' || lead == u'+' || lead == u'.';
    const double value = mayBeNumber ? cLocale.toDouble(trimmed, &ok) : 0.0;
    if (ok && std::isfinite(value)) {
        key.isNumber = true;
        key.number = value;
    }
    key.text = cell.toUpper();
    return key;
}

int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.isNumber && b.isNumber)
        return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    return a.text.compare(b.text, Qt::CaseSensitive);
}

}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), m_model(new FlexGridModel(this)) {
    m_model->setGridCols(2);
    m_model->setGridRows(2);
    m_model->setFixedRows(1);
    m_model->setFixedCols(1);
    setModel(m_model);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab moves on to the next control; the arrow keys move between cells.
    setTabKeyNavigation(false);
    // Fixed row heights keep appending rows cheap: no per-row measuring.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &FlexGrid::syncFromView);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FlexGrid::syncFromView);
    // Runs after the view's own column selection: a header click selects all data rows.
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int section) {
        m_row = Rows() - 1;
        m_rowSel = FixedRows();
        m_col = section;
        m_colSel = section;
        clampSelection();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &FlexGrid::applyLayout);
    applyLayout();
    syncToView();
}

FlexGrid::~FlexGrid() = default;

qsizetype FlexGrid::Rows() const {
    return m_model->gridRows();
}

void FlexGrid::setRows(qsizetype rows) {
    m_model->setGridRows(rows);
    clampSelection();
}

int FlexGrid::Cols() const {
    return m_model->gridCols();
}

void FlexGrid::setCols(int cols) {
    m_model->setGridCols(cols);
    m_colTwips.resize(static_cast<std::size_t>(cols), -1);
    clampSelection();
}

int FlexGrid::FixedRows() const {
    return m_model->fixedRows();
}

void FlexGrid::setFixedRows(int rows) {
    m_model->setFixedRows(rows);
    clampSelection();
}

int FlexGrid::FixedCols() const {
    return m_model->fixedCols();
}

void FlexGrid::setFixedCols(int cols) {
    m_model->setFixedCols(cols);
}

QString FlexGrid::TextMatrix(qsizetype row, int col) const {
    return m_model->text(row, col);
}

void FlexGrid::setTextMatrix(qsizetype row, int col, const QString& text) {
    m_model->setText(row, col, text);
}

qsizetype FlexGrid::Row() const {
    return m_row;
}

void FlexGrid::setRow(qsizetype row) {
    checkRow(row);
    m_row = row;
    syncToView();
}

int FlexGrid::Col() const {
    return m_col;
}

void FlexGrid::setCol(int col) {
    checkCol(col);
    m_col = col;
    m_rowSel = m_row;
    m_colSel = col;
    syncToView();
}

qsizetype FlexGrid::RowSel() const {
    return m_rowSel;
}

void FlexGrid::setRowSel(qsizetype row) {
    checkRow(row);
    m_rowSel = row;
    syncToView();
}

int FlexGrid::ColSel() const {
    return m_colSel;
}

void FlexGrid::setColSel(int col) {
    checkCol(col);
    m_colSel = col;
    syncToView();
}

void FlexGrid::AddItem(const QString& tabJoined) {
    m_model->appendRow(tabJoined.split(QLatin1Char('\t')));
    // The first data row takes the current cell off the header row.
    if (Rows() == FixedRows() + 1)
        clampSelection();
}

void FlexGrid::RemoveItem(qsizetype row) {
    {
        // The view moves its current cell while the row goes; the grid's own rule is below.
        const QScopedValueRollback ignoreView(m_syncing, true);
        m_model->removeGridRow(row);
    }
    // Rows below the removed one move up with their rows; a removed current row is taken by
    // the row that followed it.
    if (m_row > row)
        --m_row;
    if (m_rowSel > row)
        --m_rowSel;
    clampSelection();
}

void FlexGrid::Clear() {
    m_model->clearTexts();
}

int FlexGrid::ColWidth(int col) const {
    checkCol(col);
    if (isColumnHidden(col))
        return 0;
    const int pixels = columnWidth(col);
    const int stored = m_colTwips[static_cast<std::size_t>(col)];
    // Give back the twips that were set unless the user has resized the column since.
    if (stored >= 0 && (stored + TwipsPerPixel / 2) / TwipsPerPixel == pixels)
        return stored;
    return pixels * TwipsPerPixel;
}

void FlexGrid::setColWidth(int col, int twips) {
    checkCol(col);
    if (twips < 0)
        throw ConfluxError(ErrorNumber::InvalidProcedureCall, QStringLiteral("Invalid width"));
    m_colTwips[static_cast<std::size_t>(col)] = twips;
    if (twips == 0) {
        setColumnHidden(col, true);
        return;
    }
    setColumnHidden(col, false);
    setColumnWidth(col, std::max(1, (twips + TwipsPerPixel / 2) / TwipsPerPixel));
}

int FlexGrid::WidthTwips() const {
    return width() * TwipsPerPixel;
}

void FlexGrid::setSort(int order) {
    if (order != flexSortGenericAscending && order != flexSortGenericDescending)
        return;
    qsizetype first = FixedRows();
    qsizetype last = Rows() - 1;
    if (m_row != m_rowSel) {
        first = std::max(first, std::min(m_row, m_rowSel));
        last = std::max(m_row, m_rowSel);
    }
    if (last <= first)
        return;
    const int firstKey = std::min(m_col, m_colSel);
    const int keyCount = std::max(m_col, m_colSel) - firstKey + 1;
    const auto rowCount = static_cast<std::size_t>(last - first + 1);
    std::vector<SortKey> keys;
    keys.reserve(rowCount * static_cast<std::size_t>(keyCount));
    for (qsizetype r = first; r <= last; ++r) {
        for (int k = 0; k < keyCount; ++k)
            keys.push_back(makeKey(m_model->text(r, firstKey + k)));
    }
    std::vector<qsizetype> permutation(rowCount);
    for (std::size_t i = 0; i < rowCount; ++i)
        permutation[i] = static_cast<qsizetype>(i);
    const int direction = order == flexSortGenericAscending ? 1 : -1;
    const auto keyAt = [&](qsizetype row, int k) -> const SortKey& {
        return keys[static_cast<std::size_t>(row) * static_cast<std::size_t>(keyCount) +
                    static_cast<std::size_t>(k)];
    };
    std::stable_sort(permutation.begin(), permutation.end(), [&](qsizetype a, qsizetype b) {
        for (int k = 0; k < keyCount; ++k) {
            const int result = compareKeys(keyAt(a, k), keyAt(b, k));
            if (result != 0)
                return result * direction < 0;
        }
        return false;
    });
    for (qsizetype& index : permutation)
        index += first;
    m_model->reorderRows(first, permutation);
}

void FlexGrid::Refresh() {
    viewport()->update();
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    emit DblClick();
}

// The view's current index is the moving corner of the selection, so it is the selection
// end; the anchor is the opposite corner of the selected block that holds it.
void FlexGrid::syncFromView() {
    if (m_syncing)
        return;
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid())
        return;
    const qsizetype offset = FixedRows();
    qsizetype anchorRow = current.row();
    int anchorCol = current.column();
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (!range.contains(current))
            continue;
        anchorRow = current.row() == range.top() ? range.bottom() : range.top();
        anchorCol = current.column() == range.left() ? range.right() : range.left();
        break;
    }
    m_row = anchorRow + offset;
    m_col = anchorCol;
    m_rowSel = current.row() + offset;
    m_colSel = current.column();
}

void FlexGrid::syncToView() {
    const qsizetype offset = FixedRows();
    const int dataRows = m_model->rowCount();
    m_syncing = true;
    if (dataRows == 0 || Cols() == 0 || m_row < offset || m_rowSel < offset) {
        selectionModel()->clear();
    } else {
        const QModelIndex anchor = m_model->index(static_cast<int>(m_row - offset), m_col);
        const QModelIndex end = m_model->index(static_cast<int>(m_rowSel - offset), m_colSel);
        selectionModel()->setCurrentIndex(end, QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(anchor, end), QItemSelectionModel::ClearAndSelect);
    }
    m_syncing = false;
}

void FlexGrid::clampSelection() {
    const qsizetype lastRow = std::max<qsizetype>(0, Rows() - 1);
    const int lastCol = std::max(0, Cols() - 1);
    const qsizetype firstRow = std::min<qsizetype>(FixedRows(), lastRow);
    m_row = std::clamp(m_row, firstRow, lastRow);
    m_rowSel = std::clamp(m_rowSel, firstRow, lastRow);
    m_col = std::clamp(m_col, 0, lastCol);
    m_colSel = std::clamp(m_colSel, 0, lastCol);
    syncToView();
}

// A model reset forgets column widths; the widths set in twips are the ones to keep.
void FlexGrid::applyLayout() {
    horizontalHeader()->setVisible(FixedRows() > 0);
    for (std::size_t c = 0; c < m_colTwips.size(); ++c) {
        const int twips = m_colTwips[c];
        const int col = static_cast<int>(c);
        setColumnHidden(col, twips == 0);
        if (twips > 0)
            setColumnWidth(col, std::max(1, (twips + TwipsPerPixel / 2) / TwipsPerPixel));
    }
}

void FlexGrid::checkRow(qsizetype row) const {
    if (row < 0 || row >= Rows())
        throw ConfluxError(ErrorNumber::SubscriptOutOfRange,
                           QStringLiteral("Subscript out of range: row %1").arg(row));
}

void FlexGrid::checkCol(int col) const {
    if (col < 0 || col >= Cols())
        throw ConfluxError(ErrorNumber::SubscriptOutOfRange,
                           QStringLiteral("Subscript out of range: column %1").arg(col));
}
