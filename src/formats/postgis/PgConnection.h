#pragma once

#include "formats/postgis/PostgisError.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

struct pg_conn;
struct pg_result;

// Says whether the caller wants the running work stopped; polled while the server works.
using PgCancelCheck = std::function<bool()>;

// The rows of one query, in text form; freed when destroyed.
class PgResult {
public:
    explicit PgResult(pg_result* result);
    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    QByteArray value(int row, int column) const;

private:
    std::unique_ptr<pg_result, void (*)(pg_result*)> m_result;
};

// One session with a PostgreSQL server, closed when destroyed. Text goes both ways in UTF-8
// whatever the database's encoding: the server recodes. No message this object produces holds
// the password, however it was given (connection string, URI, PGPASSWORD, password file).
//
// While the server works on a statement, the cancel check is polled; when it answers true the
// statement is cancelled on the server and the call throws PostgisFailure::Cancelled.
class PgConnection {
public:
    // `conninfo`: a libpq connection string or URI. Throws PostgisError: Unreachable,
    // LoginRefused (with the server's one-line reason), or Other for a malformed string.
    explicit PgConnection(const QString& conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    void setCancelCheck(PgCancelCheck check) { m_cancelCheck = std::move(check); }

    // Runs one or more statements. Every call below throws PostgisError on failure:
    // Cancelled, ConnectionLost, or Other with the server's message.
    void execute(const QByteArray& sql);
    // Runs one statement with text parameters ($1, $2, ...) and returns its rows.
    PgResult query(const QByteArray& sql, const QList<QByteArray>& parameters = {});

    // COPY ... FROM STDIN: start, send data in any pieces, end. A COPY left open is aborted
    // by the next execute/query/startCopy or by the destructor.
    void startCopy(const QByteArray& copySql);
    void putCopyData(const char* data, qsizetype size);
    void endCopy();
    void abortCopy();

    // `name` quoted as an SQL identifier.
    QByteArray identifier(const QString& name) const;

    // Which database this is, for messages: "database 'gis' on '/run/pg' as 'anna'".
    QString describe() const;
    bool broken() const;
    // `message` with every password this connection knows of masked.
    QString masked(QString message) const;

private:
    void connect(const QString& conninfo);
    pg_result* awaitResult();
    PgResult finish(const char* context);
    [[noreturn]] void fail(const QString& context, pg_result* result) const;

    std::unique_ptr<pg_conn, void (*)(pg_conn*)> m_conn;
    QList<QByteArray> m_passwords;
    PgCancelCheck m_cancelCheck;
    bool m_cancelSent = false;
    bool m_copying = false;
};
