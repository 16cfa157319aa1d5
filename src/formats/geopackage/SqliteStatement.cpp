#include "formats/geopackage/SqliteStatement.h"

#include "errors/ConfluxError.h"

#include <sqlite3.h>

#include <cstring>

QString sqliteFailure(sqlite3* db) {
    const int code = sqlite3_errcode(db) & 0xFF;
    const int system = sqlite3_system_errno(db);
    if (system != 0 && (code == SQLITE_IOERR || code == SQLITE_FULL || code == SQLITE_CANTOPEN)) {
        return QString::fromLocal8Bit(std::strerror(system));
    }
    return QString::fromUtf8(sqlite3_errmsg(db));
}

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
    throw ConfluxError(ErrorNumber::HostFailure,
                       QStringLiteral("%1: %2").arg(m_what, sqliteFailure(m_db)));
}

void SqliteStatement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::bind(int index, double value) {
    sqlite3_bind_double(m_statement, index, value);
}

void SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(m_statement, index);
}

void SqliteStatement::bind(int index, QByteArrayView bytes) {
    sqlite3_bind_blob64(m_statement, index, bytes.data(), static_cast<sqlite3_uint64>(bytes.size()),
                        SQLITE_STATIC);
}

void SqliteStatement::bindText(int index, QByteArrayView utf8) {
    sqlite3_bind_text64(m_statement, index, utf8.data(), static_cast<sqlite3_uint64>(utf8.size()),
                        SQLITE_STATIC, SQLITE_UTF8);
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

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

QByteArray SqliteStatement::text(int column) const {
    return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)));
}
