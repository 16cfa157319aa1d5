#include "formats/geopackage/SqliteStatement.h"

#include "errors/ConfluxError.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const QByteArray& sql, const QString& what)
    : m_db(db), m_what(what) {
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &m_statement, nullptr) != SQLITE_OK) {
        fail();
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

void SqliteStatement::fail() const {
    throw ConfluxError(
        ErrorNumber::HostFailure,
        QStringLiteral("%1: %2").arg(m_what, QString::fromUtf8(sqlite3_errmsg(m_db))));
}

void SqliteStatement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::bind(int index, const QByteArray& bytes) {
    sqlite3_bind_blob(m_statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                      SQLITE_STATIC);
}

void SqliteStatement::bindText(int index, const QByteArray& utf8) {
    sqlite3_bind_text(m_statement, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_STATIC);
}

bool SqliteStatement::row() {
    switch (sqlite3_step(m_statement)) {
        case SQLITE_ROW:
            return true;
        case SQLITE_DONE:
            return false;
        default:
            fail();
    }
}

void SqliteStatement::run() {
    const int result = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    if (result != SQLITE_DONE && result != SQLITE_ROW) {
        fail();
    }
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

QByteArray SqliteStatement::text(int column) const {
    return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)));
}
