#include "platform/widgets/FlexGridModel.h"

#include "errors/ConfluxError.h"
#include "platform/FileNameCodec.h"

#include <QBrush>
#include <QPalette>

namespace {

QStringList blankRow(int cols) {
    QStringList row;
    row.reserve(cols);
    for (int c = 0; c < cols; ++c)
        row.append(QString());
    return row;
}

// A cell keeps its text exactly; shown, a TAB or a line break (Linux allows them in file
// names) would cut it on its one line, so it shows as its control picture.
QString visibleText(const QString& text) {
    if (!text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString shown = text;
    shown.replace(QLatin1Char('\t'), QChar(0x2409));
    shown.replace(QLatin1Char('\n'), QChar(0x240A));
    shown.replace(QLatin1Char('\r'), QChar(0x240D));
    return shown;
}

}  // namespace

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void FlexGridModel::setGridRows(qsizetype rows) {
    if (rows < 0)
        throw ConfluxError(ErrorNumber::InvalidProcedureCall, QStringLiteral("Invalid row count"));
    const qsizetype old = gridRows();
    if (rows < m_fixedRows) {
        beginResetModel();
        m_rows.resize(static_cast<std::size_t>(rows));
        m_fixedRows = static_cast<int>(rows);
        endResetModel();
        return;
    }
    // Rows below the fixed ones come and go as view rows, so the view keeps its layout.
    const int oldView = rowCount();
    const int newView = static_cast<int>(rows - m_fixedRows);
    if (rows > old) {
        if (newView > oldView)
            beginInsertRows({}, oldView, newView - 1);
        m_rows.reserve(static_cast<std::size_t>(rows));
        for (qsizetype r = old; r < rows; ++r)
            m_rows.push_back(blankRow(m_cols));
        if (newView > oldView)
            endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, newView, oldView - 1);
        m_rows.resize(static_cast<std::size_t>(rows));
        endRemoveRows();
    }
}

void FlexGridModel::setGridCols(int cols) {
    if (cols < 0)
        throw ConfluxError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("Invalid column count"));
    if (cols == m_cols)
        return;
    if (cols > m_cols)
        beginInsertColumns({}, m_cols, cols - 1);
    else
        beginRemoveColumns({}, cols, m_cols - 1);
    const bool growing = cols > m_cols;
    m_cols = cols;
    for (QStringList& row : m_rows) {
        if (row.size() > cols)
            row.resize(cols);
        while (row.size() < cols)
            row.append(QString());
    }
    m_fixedCols = std::min(m_fixedCols, m_cols);
    if (growing)
        endInsertColumns();
    else
        endRemoveColumns();
}

void FlexGridModel::setFixedRows(int rows) {
    if (rows < 0 || rows > gridRows())
        throw ConfluxError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("Invalid fixed row count"));
    beginResetModel();
    m_fixedRows = rows;
    endResetModel();
}

void FlexGridModel::setFixedCols(int cols) {
    if (cols < 0 || cols > m_cols)
        throw ConfluxError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("Invalid fixed column count"));
    beginResetModel();
    m_fixedCols = cols;
    endResetModel();
}

QString FlexGridModel::text(qsizetype row, int col) const {
    checkRow(row);
    checkCol(col);
    return m_rows[static_cast<std::size_t>(row)][col];
}

void FlexGridModel::setText(qsizetype row, int col, const QString& text) {
    checkRow(row);
    checkCol(col);
    m_rows[static_cast<std::size_t>(row)][col] = text;
    if (row < m_fixedRows) {
        if (row == 0)
            emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex cell = index(static_cast<int>(row - m_fixedRows), col);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
}

void FlexGridModel::appendRow(QStringList cells) {
    if (cells.size() > m_cols)
        cells.resize(m_cols);
    while (cells.size() < m_cols)
        cells.append(QString());
    const int viewRow = static_cast<int>(gridRows() - m_fixedRows);
    if (viewRow < 0) {
        // Still filling the fixed rows: the view sees nothing new.
        m_rows.push_back(std::move(cells));
        return;
    }
    beginInsertRows({}, viewRow, viewRow);
    m_rows.push_back(std::move(cells));
    endInsertRows();
}

void FlexGridModel::removeGridRow(qsizetype row) {
    checkRow(row);
    if (row < m_fixedRows) {
        beginResetModel();
        m_rows.erase(m_rows.begin() + row);
        m_fixedRows = static_cast<int>(std::min<qsizetype>(m_fixedRows, gridRows()));
        endResetModel();
        return;
    }
    const int viewRow = static_cast<int>(row - m_fixedRows);
    beginRemoveRows({}, viewRow, viewRow);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void FlexGridModel::clearTexts() {
    for (QStringList& row : m_rows) {
        for (QString& cell : row)
            cell.clear();
    }
    if (m_cols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    if (rowCount() > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, m_cols - 1), {Qt::DisplayRole});
}

void FlexGridModel::reorderRows(qsizetype first, const std::vector<qsizetype>& order) {
    std::vector<QStringList> moved;
    moved.reserve(order.size());
    for (const qsizetype source : order)
        moved.push_back(std::move(m_rows[static_cast<std::size_t>(source)]));
    std::move(moved.begin(), moved.end(), m_rows.begin() + first);
    const auto count = static_cast<qsizetype>(order.size());
    if (count > 0 && m_cols > 0) {
        const int top = static_cast<int>(first - m_fixedRows);
        emit dataChanged(index(top, 0), index(top + static_cast<int>(count) - 1, m_cols - 1),
                         {Qt::DisplayRole});
    }
}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::max<qsizetype>(0, gridRows() - m_fixedRows));
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString& text =
            m_rows[static_cast<std::size_t>(index.row() + m_fixedRows)][index.column()];
        // File names from old archives show in their own code page; the cell keeps the bytes.
        return role == Qt::DisplayRole ? visibleText(FileNameCodec::shown(text, false))
                                       : FileNameCodec::shown(text, true);
    }
    if (role == Qt::BackgroundRole && index.column() < m_fixedCols)
        return QPalette().brush(QPalette::Button);
    return {};
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && m_fixedRows > 0 &&
        section >= 0 && section < m_cols)
        return m_rows.front()[section];
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + m_fixedRows;
    return {};
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FlexGridModel::checkRow(qsizetype row) const {
    if (row < 0 || row >= gridRows())
        throw ConfluxError(ErrorNumber::SubscriptOutOfRange,
                           QStringLiteral("Subscript out of range: row %1").arg(row));
}

void FlexGridModel::checkCol(int col) const {
    if (col < 0 || col >= m_cols)
        throw ConfluxError(ErrorNumber::SubscriptOutOfRange,
                           QStringLiteral("Subscript out of range: column %1").arg(col));
}
