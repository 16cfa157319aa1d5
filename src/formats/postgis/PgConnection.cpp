#include "formats/postgis/PgConnection.h"

#include <libpq-fe.h>

#include <QRegularExpression>
#include <QStringList>

#include <poll.h>
#include <cstdlib>
#include <cstring>

namespace {
constexpr const char* kSqlStateCancelled = "57014";

// libpq's connection report in one line: from its last attempt ("connection to server ...
// failed: reason", the last host tried when there are several) on, without indented hints.
QString reasonLine(const char* report) {
    const QStringList lines = QString::fromUtf8(report).split(u'\n', Qt::SkipEmptyParts);
    qsizetype from = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("connection to server"))) {
            from = i;
        }
    }
    QStringList kept;
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (kept.isEmpty() || !lines[i].front().isSpace()) {
            kept << lines[i].trimmed();
        }
    }
    return kept.isEmpty() ? QStringLiteral("the connection failed")
                          : kept.join(QLatin1String("; "));
}

// libpq quotes the pieces of a connection string it cannot parse; one may be the password.
QString withoutQuotedPieces(QString message) {
    static const QRegularExpression quoted(QStringLiteral("\"[^\"]*\""));
    return message.replace(quoted, QStringLiteral("\"...\""));
}

// Server and connection messages in one line.
QString oneLine(QString text) {
    return text.trimmed().replace(QRegularExpression(QStringLiteral("\\s*\n\\s*")),
                                  QStringLiteral("; "));
}
}  // namespace

PgResult::PgResult(pg_result* result) : m_result(result, PQclear) {}

int PgResult::rows() const {
    return PQntuples(m_result.get());
}

int PgResult::columns() const {
    return PQnfields(m_result.get());
}

bool PgResult::isNull(int row, int column) const {
    return PQgetisnull(m_result.get(), row, column) != 0;
}

QByteArray PgResult::value(int row, int column) const {
    return QByteArray(PQgetvalue(m_result.get(), row, column),
                      PQgetlength(m_result.get(), row, column));
}

PgConnection::PgConnection(const QString& conninfo) : m_conn(nullptr, PQfinish) {
    connect(conninfo);
}

PgConnection::~PgConnection() {
    abortCopy();
}

void PgConnection::connect(const QString& conninfo) {
    const QByteArray info = conninfo.toUtf8();
    char* parseError = nullptr;
    PQconninfoOption* options = PQconninfoParse(info.constData(), &parseError);
    if (!options) {
        const QString reason = parseError ? reasonLine(parseError) : QStringLiteral("no memory");
        PQfreemem(parseError);
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("Invalid PostgreSQL connection string: %1")
                               .arg(withoutQuotedPieces(reason)));
    }
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        if (std::strcmp(option->keyword, "password") == 0 && option->val && *option->val) {
            m_passwords << QByteArray(option->val);
        }
    }
    PQconninfoFree(options);
    if (const char* fromEnvironment = std::getenv("PGPASSWORD"); fromEnvironment) {
        m_passwords << QByteArray(fromEnvironment);
    }

    // The string's own settings override the timeout; nothing overrides the client encoding,
    // since every text handed over is UTF-8.
    const char* const keys[] = {"connect_timeout", "fallback_application_name", "dbname",
                                "client_encoding", nullptr};
    const char* const values[] = {"10", "conflux", info.constData(), "UTF8", nullptr};
    m_conn.reset(PQconnectdbParams(keys, values, 1));
    if (!m_conn) {
        throw PostgisError(PostgisFailure::Other, QStringLiteral("libpq is out of memory"));
    }
    if (const char* used = PQpass(m_conn.get()); used && *used) {
        m_passwords << QByteArray(used);  // also one read from the password file
    }
    PQsetNoticeProcessor(
        m_conn.get(), [](void*, const char*) {}, nullptr);
    if (PQstatus(m_conn.get()) == CONNECTION_OK) {
        return;
    }
    const QString reason = masked(reasonLine(PQerrorMessage(m_conn.get())));
    m_conn.reset();
    // Whether a server answered at all tells an unreachable server from a refused login.
    const PGPing ping = PQpingParams(keys, values, 1);
    const PostgisFailure kind = ping == PQPING_OK           ? PostgisFailure::LoginRefused
                                : ping == PQPING_NO_ATTEMPT ? PostgisFailure::Other
                                                            : PostgisFailure::Unreachable;
    throw PostgisError(kind, reason);
}

pg_result* PgConnection::awaitResult() {
    PGconn* conn = m_conn.get();
    while (PQisBusy(conn)) {
        pollfd watch{PQsocket(conn), POLLIN, 0};
        ::poll(&watch, 1, 100);
        if (!PQconsumeInput(conn)) {
            break;  // the connection broke: PQgetResult reports it
        }
        if (!m_cancelSent && m_cancelCheck && m_cancelCheck()) {
            m_cancelSent = true;
            if (PGcancel* cancel = PQgetCancel(conn)) {
                char error[256];
                PQcancel(cancel, error, sizeof error);
                PQfreeCancel(cancel);
            }
        }
    }
    return PQgetResult(conn);
}

PgResult PgConnection::finish(const char* context) {
    pg_result* kept = nullptr;
    pg_result* error = nullptr;
    while (pg_result* result = awaitResult()) {
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_COPY_IN && !error) {
            PQclear(kept);
            m_copying = true;
            return PgResult(result);  // no further result until the COPY ends
        }
        if (!error && status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK &&
            status != PGRES_EMPTY_QUERY) {
            error = result;
            continue;
        }
        PQclear(kept);
        kept = result;
    }
    if (error) {
        PQclear(kept);
        fail(QString::fromUtf8(context), error);
    }
    if (!kept) {
        fail(QString::fromUtf8(context), nullptr);
    }
    return PgResult(kept);
}

void PgConnection::fail(const QString& context, pg_result* result) const {
    const std::unique_ptr<pg_result, void (*)(pg_result*)> owned(result, PQclear);
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (m_cancelSent && state && std::strcmp(state, kSqlStateCancelled) == 0) {
        throw PostgisError(PostgisFailure::Cancelled, QStringLiteral("Cancelled"));
    }
    QString message;
    if (result && PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) {
        message = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
        for (const int field : {PG_DIAG_MESSAGE_DETAIL, PG_DIAG_CONTEXT}) {
            if (const char* extra = PQresultErrorField(result, field)) {
                message += QStringLiteral(" (%1)").arg(QString::fromUtf8(extra));
            }
        }
    } else {
        message = QString::fromUtf8(PQerrorMessage(m_conn.get()));
    }
    message = masked(oneLine(QStringLiteral("%1: %2").arg(context, message)));
    if (broken()) {
        throw PostgisError(
            PostgisFailure::ConnectionLost,
            QStringLiteral("Connection to the %1 lost. %2").arg(describe(), message));
    }
    throw PostgisError(PostgisFailure::Other, message);
}

void PgConnection::execute(const QByteArray& sql) {
    query(sql);
}

PgResult PgConnection::query(const QByteArray& sql, const QList<QByteArray>& parameters) {
    abortCopy();
    std::vector<const char*> values;
    for (const QByteArray& parameter : parameters) {
        values.push_back(parameter.constData());
    }
    const int sent =
        parameters.isEmpty()
            ? PQsendQuery(m_conn.get(), sql.constData())
            : PQsendQueryParams(m_conn.get(), sql.constData(), static_cast<int>(values.size()),
                                nullptr, values.data(), nullptr, nullptr, 0);
    if (!sent) {
        fail(QStringLiteral("Query"), nullptr);
    }
    return finish("Query");
}

void PgConnection::startCopy(const QByteArray& copySql) {
    query(copySql);
    if (!m_copying) {
        fail(QStringLiteral("COPY"), nullptr);
    }
}

void PgConnection::putCopyData(const char* data, qsizetype size) {
    if (PQputCopyData(m_conn.get(), data, static_cast<int>(size)) != 1) {
        m_copying = false;
        fail(QStringLiteral("COPY"), nullptr);
    }
}

void PgConnection::endCopy() {
    m_copying = false;
    if (PQputCopyEnd(m_conn.get(), nullptr) != 1) {
        fail(QStringLiteral("COPY"), nullptr);
    }
    finish("COPY");
}

void PgConnection::abortCopy() {
    if (!m_copying || !m_conn) {
        return;
    }
    m_copying = false;
    if (PQputCopyEnd(m_conn.get(), "abandoned") == 1) {
        while (pg_result* result = PQgetResult(m_conn.get())) {
            PQclear(result);
        }
    }
}

QByteArray PgConnection::identifier(const QString& name) const {
    const QByteArray utf8 = name.toUtf8();
    char* quoted = PQescapeIdentifier(m_conn.get(), utf8.constData(), utf8.size());
    if (!quoted) {
        fail(QStringLiteral("Name '%1'").arg(name), nullptr);
    }
    QByteArray result(quoted);
    PQfreemem(quoted);
    return result;
}

QString PgConnection::describe() const {
    PGconn* conn = m_conn.get();
    QString host = QString::fromUtf8(PQhost(conn));
    if (const QByteArray port = PQport(conn); !port.isEmpty() && port != "5432") {
        host += u':' + QString::fromUtf8(port);
    }
    return QStringLiteral("database '%1' on '%2' as '%3'")
        .arg(QString::fromUtf8(PQdb(conn)), host, QString::fromUtf8(PQuser(conn)));
}

bool PgConnection::broken() const {
    return !m_conn || PQstatus(m_conn.get()) == CONNECTION_BAD;
}

QString PgConnection::masked(QString message) const {
    for (const QByteArray& password : m_passwords) {
        if (!password.isEmpty()) {
            message.replace(QString::fromUtf8(password), QStringLiteral("********"));
        }
    }
    return message;
}
