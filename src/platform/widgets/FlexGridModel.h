#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// Cell texts of a FlexGrid: every row (fixed header rows included) as one QStringList of
// exactly columnCount() texts. The view sees only the rows below the fixed ones; the first
// fixed row is served as the horizontal header.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FlexGridModel(QObject* parent = nullptr);

    // Grid-level access (row 0 is the first fixed row).
    qsizetype gridRows() const { return static_cast<qsizetype>(m_rows.size()); }
    int gridCols() const { return m_cols; }
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setGridRows(qsizetype rows);
    void setGridCols(int cols);
    void setFixedRows(int rows);
    void setFixedCols(int cols);
    QString text(qsizetype row, int col) const;
    void setText(qsizetype row, int col, const QString& text);
    void appendRow(QStringList cells);  // padded or cut to the column count
    void removeGridRow(qsizetype row);
    void clearTexts();
    // Replaces rows [first, first + order.size()) by the rows at order[i] (a permutation of
    // that range, in grid row numbers).
    void reorderRows(qsizetype first, const std::vector<qsizetype>& order);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void checkRow(qsizetype row) const;
    void checkCol(int col) const;

    std::vector<QStringList> m_rows;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
};
