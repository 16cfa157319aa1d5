#include "formats/geopackage/GeoPackageInserter.h"

#include <sqlite3.h>

#include <cstring>

namespace {

constexpr std::int64_t kRowsPerBatch = 2048;
constexpr std::size_t kBatchesWaiting = 3;

enum : char { kNull, kInteger, kReal, kText };

template <typename T>
void put(std::string& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
const char* take(const char* at, T& value) {
    std::memcpy(&value, at, sizeof value);
    return at + sizeof value;
}

void putBytes(std::string& bytes, QByteArrayView data) {
    put(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.append(data.data(), data.size());
}

}  // namespace

GeoPackageInserter::GeoPackageInserter(sqlite3* db, SqliteStatement& insert, PackedRTree* index,
                                       int fields)
    : m_db(db), m_insert(insert), m_index(index), m_fields(fields) {
    m_thread = std::thread(&GeoPackageInserter::run, this);
}

GeoPackageInserter::~GeoPackageInserter() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void GeoPackageInserter::beginRow(QByteArrayView blob, const Box* box) {
    std::string& bytes = m_filling.bytes;
    put(bytes, static_cast<char>(!blob.isEmpty()));
    if (!blob.isEmpty()) {
        putBytes(bytes, blob);
    }
    put(bytes, static_cast<char>(box != nullptr));
    if (box) {
        put(bytes, *box);
    }
}

void GeoPackageInserter::value(const FieldValue& value) {
    std::string& bytes = m_filling.bytes;
    switch (value.type) {
        case FieldValue::Type::Null:
            put(bytes, kNull);
            break;
        case FieldValue::Type::Integer:
        case FieldValue::Type::Boolean:
            put(bytes, kInteger);
            put(bytes, value.integer);
            break;
        case FieldValue::Type::Real:
            put(bytes, kReal);
            put(bytes, value.real);
            break;
        case FieldValue::Type::Text:
        case FieldValue::Type::Date:
            put(bytes, kText);
            putBytes(bytes, value.text);
            break;
    }
}

void GeoPackageInserter::endRow() {
    if (++m_filling.rows == kRowsPerBatch) {
        hand();
    }
}

void GeoPackageInserter::hand() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kBatchesWaiting || m_failure; });
    rethrow();
    m_queue.push_back(std::move(m_filling));
    m_filling = Batch{};
    if (!m_spare.empty()) {
        m_filling.bytes = std::move(m_spare.front());
        m_filling.bytes.clear();
        m_spare.pop_front();
    }
    m_changed.notify_all();
}

void GeoPackageInserter::rethrow() {
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
}

void GeoPackageInserter::finish() {
    if (m_filling.rows > 0) {
        hand();
    }
    {
        std::unique_lock lock(m_mutex);
        m_closing = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_queue.empty() || m_failure; });
        m_stopped = true;
    }
    m_changed.notify_all();
    m_thread.join();
    rethrow();
}

void GeoPackageInserter::run() {
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopped; });
            if (m_queue.empty() || (m_stopped && !m_closing)) {
                return;
            }
            batch = std::move(m_queue.front());
        }
        try {
            const char* at = batch.bytes.data();
            for (std::int64_t row = 0; row < batch.rows; ++row) {
                at = insertRow(at);
            }
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            m_failure = std::current_exception();
            m_changed.notify_all();
            return;
        }
        const std::lock_guard lock(m_mutex);
        m_queue.pop_front();
        m_spare.push_back(std::move(batch.bytes));
        m_changed.notify_all();
    }
}

const char* GeoPackageInserter::insertRow(const char* at) {
    char flag = 0;
    at = take(at, flag);
    if (flag) {
        std::uint32_t size = 0;
        at = take(at, size);
        m_insert.bind(1, QByteArrayView(at, size));
        at += size;
    } else {
        m_insert.bindNull(1);
    }
    Box box{};
    at = take(at, flag);
    const bool boxed = flag;
    if (boxed) {
        at = take(at, box);
    }
    for (int column = 2; column < m_fields + 2; ++column) {
        char type = kNull;
        at = take(at, type);
        if (type == kInteger) {
            std::int64_t integer = 0;
            at = take(at, integer);
            m_insert.bind(column, integer);
        } else if (type == kReal) {
            double real = 0;
            at = take(at, real);
            m_insert.bind(column, real);
        } else if (type == kText) {
            std::uint32_t size = 0;
            at = take(at, size);
            m_insert.bindText(column, QByteArrayView(at, size));
            at += size;
        } else {
            m_insert.bindNull(column);
        }
    }
    m_insert.run();
    if (boxed && m_index) {
        m_index->add(sqlite3_last_insert_rowid(m_db), box.minX, box.maxX, box.minY, box.maxY);
    }
    return at;
}
