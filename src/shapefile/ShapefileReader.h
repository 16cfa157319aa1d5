#pragma once

#include "platform/DbfTableHeader.h"
#include "platform/UniqueFd.h"
#include "shapefile/ShapefileProbe.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <deque>
#include <optional>

// Reads one shapefile's records in blocks: index entries, the shape records they point to and
// the table rows of the same numbers, a few large reads per block. The .shp, .shx and .dbf are
// opened only when they are regular files, so a named pipe in their place never blocks; such a
// companion counts as missing. A missing or invalid .dbf leaves the records without a table.
class ShapefileReader {
public:
    static constexpr std::int64_t kRecordsPerBlock = 8192;

    // One block of records, its memory reused from block to block.
    class Block {
    public:
        std::int64_t first() const { return m_first; }
        std::int64_t count() const { return m_count; }
        // The content of record i of the block (after its 8-byte header); empty when its index
        // entry is damaged (pointing into the file header, past the end, or disagreeing with
        // the record's own length) or the record cannot be read. Valid until the block is
        // read again.
        QByteArrayView shape(std::int64_t i);
        // The table row of record i, its deletion flag first; nullptr when there is no table or
        // the table has fewer rows.
        const char* row(std::int64_t i) const;

    private:
        friend class ShapefileReader;
        std::int64_t offset(std::int64_t i) const;
        std::int64_t length(std::int64_t i) const;

        const ShapefileReader* m_reader = nullptr;
        std::int64_t m_first = 0;
        std::int64_t m_count = 0;
        QByteArray m_index;  // 8 bytes per record
        QByteArray m_shapes;
        std::int64_t m_shapesStart = 0;
        QByteArray m_rows;
        std::int64_t m_rowCount = 0;
        std::deque<QByteArray> m_singles;  // records read alone
    };

    enum class Next { Block, End, Failed };

    // Reads the shapefile `probe` describes (its files as found then, its table's header as
    // read then). Throws ConfluxError naming the file when the .shp or .shx cannot be opened.
    explicit ShapefileReader(const ShapefileProbe& probe);
    // Probes `shpPath` first (see ShapefileProbe::open).
    explicit ShapefileReader(const QString& shpPath);

    std::int32_t shapeType() const { return m_shapeType; }
    // The records the .shx indexes.
    std::int64_t recordCount() const { return m_records; }
    const std::optional<DbfTableHeader>& table() const { return m_table; }

    // Reads the records after those of the last block. Failed: a read error, after which the
    // remaining records cannot be read.
    Next next(Block& block);

private:
    bool readAt(const UniqueFd& file, std::int64_t offset, std::int64_t size,
                QByteArray& into) const;

    QString m_shpPath;
    UniqueFd m_shp;
    UniqueFd m_shx;
    UniqueFd m_dbf;
    std::int32_t m_shapeType = 0;
    std::int64_t m_records = 0;
    std::int64_t m_shpSize = 0;
    std::int64_t m_nextRecord = 0;
    std::optional<DbfTableHeader> m_table;
};
