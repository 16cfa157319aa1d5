#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement on an SQLite connection owned elsewhere; finalized when destroyed.
// Every failure throws ConfluxError: `what` (for example "GeoPackage 'x' cannot be written"),
// then SQLite's own message.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const QByteArray& sql, const QString& what);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bind(int index, std::int64_t value);
    // Bound as a blob; `bytes` must outlive the next run() or row().
    void bind(int index, const QByteArray& bytes);
    void bindText(int index, const QByteArray& utf8);

    // Steps to the next row: false when there is none.
    bool row();
    // Runs a statement that returns no rows, then resets it for the next binding.
    void run();

    std::int64_t integer(int column) const;
    QByteArray text(int column) const;

private:
    [[noreturn]] void fail() const;

    sqlite3* m_db;
    QString m_what;
    sqlite3_stmt* m_statement = nullptr;
};
