#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

// Why the last call on `db` failed: the system's cause of a failed read or write, else SQLite's
// message.
QString sqliteFailure(sqlite3* db);

// One prepared statement on an SQLite connection owned elsewhere; finalized when destroyed.
// Every failure throws ConfluxError: `what` (for example "GeoPackage 'x' cannot be written"),
// then the cause: the system's own for a failed read or write ("No space left on device"),
// else SQLite's message.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const QByteArray& sql, const QString& what);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bind(int index, std::int64_t value);
    void bind(int index, double value);
    void bindNull(int index);
    // Bound as a blob; `bytes` must outlive the next run() or row().
    void bind(int index, QByteArrayView bytes);
    // Bound as text; `utf8` must outlive the next run() or row().
    void bindText(int index, QByteArrayView utf8);

    // Steps to the next row: false when there is none.
    bool row();
    // Runs a statement that returns no rows, then resets it for the next binding.
    void run();

    std::int64_t integer(int column) const;
    bool isNull(int column) const;
    QByteArray text(int column) const;

private:
    [[noreturn]] void fail() const;

    sqlite3* m_db;
    QString m_what;
    sqlite3_stmt* m_statement = nullptr;
};
