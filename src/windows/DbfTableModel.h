#pragma once

#include "platform/DbfReader.h"

#include <QAbstractTableModel>

#include <memory>
#include <optional>

// One dBASE table as a grid: a row per record, a column per field, field names in the header.
// Records are read only when a view asks for them, and rows are offered to views in growing
// batches as they scroll (item views keep per-row state), so a table of any size opens at once.
// Deleted records stay in their place, marked "*" in the row header and struck through.
class DbfTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DbfTableModel(QObject* parent = nullptr);
    ~DbfTableModel() override;

    // Opens `table` in `folder` (an exact name first, then one differing only in case);
    // false, with the model empty, when the table is missing or unreadable.
    bool open(const QString& folder, const QString& table);
    // Releases the table; the model is empty afterwards.
    void close();
    bool isOpen() const { return m_reader != nullptr; }
    // The file actually open, empty when none.
    QString path() const;
    const DbfReader* reader() const { return m_reader.get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // Every record of the table, in rows; rowCount() may still be fewer before fetchMore().
    qint64 recordCount() const;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const DbfRecord* recordAt(int row) const;

    std::unique_ptr<DbfReader> m_reader;
    int m_rowsOffered = 0;
    // The record read last: a view asks for every cell of a row in turn.
    mutable int m_cachedRow = -1;
    mutable std::optional<DbfRecord> m_cachedRecord;
};
