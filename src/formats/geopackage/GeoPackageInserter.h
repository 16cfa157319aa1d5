#pragma once

#include "formats/RowMapper.h"
#include "formats/geopackage/PackedRTree.h"
#include "formats/geopackage/SqliteStatement.h"

#include <QByteArray>
#include <QByteArrayView>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

// Runs a prepared INSERT of geometry and values on a thread of its own, so that SQLite writes
// rows while the merge reads and converts the next ones. Rows are copied into batches; at most
// a few batches wait, so memory stays flat. The connection is used by that thread alone from
// construction until finish() or destruction.
class GeoPackageInserter {
public:
    struct Box {
        double minX, maxX, minY, maxY;
    };

    // `insert`: geometry first, then one value per field. `index`: filled with each row's box
    // and rowid, or null.
    GeoPackageInserter(sqlite3* db, SqliteStatement& insert, PackedRTree* index, int fields);
    // Stops the thread; rows not yet written are dropped (the caller rolls back).
    ~GeoPackageInserter();
    GeoPackageInserter(const GeoPackageInserter&) = delete;
    GeoPackageInserter& operator=(const GeoPackageInserter&) = delete;

    // One row: `blob` empty for no geometry; `box` for the index when the geometry has one;
    // then `fields` values. Throws the failure of an earlier row.
    void beginRow(QByteArrayView blob, const Box* box);
    void value(const FieldValue& value);
    void endRow();

    // Writes what is left and waits until every row is in; rethrows a failure.
    void finish();

private:
    struct Batch {
        std::string bytes;
        std::int64_t rows = 0;
    };
    void hand();  // queues the filled batch, waiting while enough are queued
    void run();
    const char* insertRow(const char* at);
    void rethrow();

    sqlite3* m_db;
    SqliteStatement& m_insert;
    PackedRTree* m_index;
    int m_fields;
    Batch m_filling;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    std::deque<std::string> m_spare;  // written batches' memory, reused
    bool m_closing = false;
    bool m_stopped = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};
