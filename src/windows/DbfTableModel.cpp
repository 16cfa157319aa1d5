#include "windows/DbfTableModel.h"

#include "platform/FileEntry.h"

#include <QFont>
#include <QPalette>

#include <limits>

namespace {

// Rows offered at opening: more than any screen shows.
constexpr int kFirstBatch = 256;

// The table file in the folder: the name as given, else the one entry whose name differs only
// in case (tables written on case-blind systems often come as ROADS.DBF beside roads.shp).
// Names keep their own bytes, and only regular files count: a named pipe would never open.
QString findTable(const QString& folder, const QString& table) {
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (FileEntry::isRegularFile(prefix + table)) {
        return prefix + table;
    }
    QString found;
    for (const QString& name : FileEntry::names(prefix)) {
        if (name.compare(table, Qt::CaseInsensitive) == 0 &&
            FileEntry::isRegularFile(prefix + name)) {
            if (!found.isEmpty()) {
                return QString();  // two candidates: neither is "the" table
            }
            found = prefix + name;
        }
    }
    return found;
}

}  // namespace

DbfTableModel::DbfTableModel(QObject* parent) : QAbstractTableModel(parent) {}

DbfTableModel::~DbfTableModel() = default;

bool DbfTableModel::open(const QString& folder, const QString& table) {
    beginResetModel();
    m_reader.reset();
    m_rowsOffered = 0;
    m_cachedRow = -1;
    m_cachedRecord.reset();
    const QString file = table.isEmpty() ? QString() : findTable(folder, table);
    if (!file.isEmpty()) {
        auto reader = std::make_unique<DbfReader>(file);
        if (reader->isOpen()) {
            m_reader = std::move(reader);
            m_rowsOffered = static_cast<int>(std::min<qint64>(recordCount(), kFirstBatch));
        }
    }
    endResetModel();
    return m_reader != nullptr;
}

void DbfTableModel::close() {
    beginResetModel();
    m_reader.reset();
    m_rowsOffered = 0;
    m_cachedRow = -1;
    m_cachedRecord.reset();
    endResetModel();
}

QString DbfTableModel::path() const {
    return m_reader ? m_reader->path() : QString();
}

qint64 DbfTableModel::recordCount() const {
    // Item views count rows in int; a dBASE table cannot hold more than that in practice.
    return m_reader ? std::min<qint64>(m_reader->recordCount(), std::numeric_limits<int>::max())
                    : 0;
}

int DbfTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowsOffered;
}

bool DbfTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_rowsOffered < recordCount();
}

void DbfTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) {
        return;
    }
    // Doubling keeps a jump to the last record to a few batches.
    const int more = static_cast<int>(
        std::min<qint64>(std::max(m_rowsOffered, kFirstBatch), recordCount() - m_rowsOffered));
    beginInsertRows({}, m_rowsOffered, m_rowsOffered + more - 1);
    m_rowsOffered += more;
    endInsertRows();
}

int DbfTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_reader ? 0 : static_cast<int>(m_reader->fieldCount());
}

const DbfRecord* DbfTableModel::recordAt(int row) const {
    if (row != m_cachedRow) {
        m_cachedRecord = m_reader->record(row);
        m_cachedRow = row;
    }
    return m_cachedRecord ? &*m_cachedRecord : nullptr;
}

QVariant DbfTableModel::data(const QModelIndex& index, int role) const {
    if (!m_reader || !index.isValid()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        const char type = m_reader->fields().at(index.column()).type;
        const bool number = type == 'N' || type == 'F';
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != Qt::FontRole && role != Qt::ForegroundRole) {
        return {};
    }
    const DbfRecord* record = recordAt(index.row());
    if (record == nullptr) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_reader->displayText(*record, index.column());
    }
    if (!record->deleted) {
        return {};
    }
    if (role == Qt::FontRole) {
        QFont font;
        font.setStrikeOut(true);
        return font;
    }
    return QPalette().color(QPalette::Disabled, QPalette::Text);
}

QVariant DbfTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!m_reader || role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section < m_reader->fieldCount() ? m_reader->fields().at(section).name : QString();
    }
    const DbfRecord* record = recordAt(section);
    // The row header is the fixed column: a deleted record is marked there.
    return record != nullptr && record->deleted ? QStringLiteral("*") : QString();
}
