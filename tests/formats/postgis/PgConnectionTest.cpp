// Connections to the test cluster: logins that fail are told apart from servers that are not
// there, and no message ever shows the password, however it was given.
#include "PostgisTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>

namespace {
const QString kWrongPassword = QStringLiteral("Wr0ng-Пароль-#guess");

// Sets an environment variable for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value) : m_name(name) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() { qunsetenv(m_name); }

private:
    const char* m_name;
};

QString loginInfo() {
    return QString::fromStdString(PostgresCluster::shared().loginConninfo());
}

QString uri(const QString& password) {
    return QStringLiteral("postgresql://%1:%2@/postgres?host=%3")
        .arg(QString::fromLatin1(PostgresCluster::kLoginRole),
             QString::fromLatin1(QUrl::toPercentEncoding(password)),
             QString::fromLatin1(QUrl::toPercentEncoding(
                 QString::fromStdString(PostgresCluster::shared().folder()))));
}

PostgisError connectionFailure(const QString& conninfo) {
    try {
        PgConnection connection(conninfo);
    } catch (const PostgisError& error) {
        return error;
    }
    ADD_FAILURE() << "connected with " << conninfo.toStdString();
    return PostgisError(PostgisFailure::Other, {});
}

void expectNoPassword(const QString& message, const QString& password) {
    EXPECT_FALSE(message.contains(password)) << message.toStdString();
    EXPECT_FALSE(message.contains(password.left(5))) << message.toStdString();
    EXPECT_FALSE(message.contains(u'\n')) << message.toStdString();
}

struct PasswordRoute {
    const char* name;
    // Connects with `password` given this way; the temporary folder takes a password file.
    std::function<PostgisError(const QString& password, const QTemporaryDir& folder)> attempt;
    std::function<void(const QString& password, const QTemporaryDir& folder)> connect;
};

QString passfile(const QString& password, const QTemporaryDir& folder) {
    const QString path = folder.filePath(QStringLiteral("pgpass"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(QStringLiteral("*:*:*:%1:%2\n")
                   .arg(QString::fromLatin1(PostgresCluster::kLoginRole), password)
                   .toUtf8());
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

std::vector<PasswordRoute> passwordRoutes() {
    return {
        {"ConnectionString",
         [](const QString& password, const QTemporaryDir&) {
             return connectionFailure(loginInfo() + QStringLiteral(" password='%1'").arg(password));
         },
         [](const QString& password, const QTemporaryDir&) {
             PgConnection(loginInfo() + QStringLiteral(" password='%1'").arg(password));
         }},
        {"Uri",
         [](const QString& password, const QTemporaryDir&) {
             return connectionFailure(uri(password));
         },
         [](const QString& password, const QTemporaryDir&) { PgConnection{uri(password)}; }},
        {"Environment",
         [](const QString& password, const QTemporaryDir&) {
             const ScopedEnvironment environment("PGPASSWORD", password.toUtf8());
             return connectionFailure(loginInfo());
         },
         [](const QString& password, const QTemporaryDir&) {
             const ScopedEnvironment environment("PGPASSWORD", password.toUtf8());
             PgConnection{loginInfo()};
         }},
        {"PasswordFile",
         [](const QString& password, const QTemporaryDir& folder) {
             return connectionFailure(loginInfo() + " passfile=" + passfile(password, folder));
         },
         [](const QString& password, const QTemporaryDir& folder) {
             PgConnection{loginInfo() + " passfile=" + passfile(password, folder)};
         }},
    };
}
}  // namespace

TEST(PgConnectionTest, TextIsExchangedInUtf8WhateverTheConnectionStringAsks) {
    PgConnection connection(QString::fromStdString(PostgresCluster::shared().conninfo()) +
                            QStringLiteral(" client_encoding=WIN1251"));
    EXPECT_EQ(connection.query("SHOW client_encoding").value(0, 0), "UTF8");
    EXPECT_EQ(connection.query("SELECT $1::text", {QStringLiteral("Ёж").toUtf8()}).value(0, 0),
              QStringLiteral("Ёж").toUtf8());
}

TEST(PgConnectionTest, WrongPasswordIsARefusedLoginWithTheServersReasonAndNoPassword) {
    const QTemporaryDir folder;
    for (const PasswordRoute& route : passwordRoutes()) {
        SCOPED_TRACE(route.name);
        const PostgisError error = route.attempt(kWrongPassword, folder);
        EXPECT_EQ(error.kind(), PostgisFailure::LoginRefused);
        EXPECT_TRUE(error.description().contains(
            QStringLiteral("password authentication failed for user \"conflux_login\"")))
            << error.description().toStdString();
        expectNoPassword(error.description(), kWrongPassword);
    }
}

TEST(PgConnectionTest, RightPasswordLogsInByEveryRoute) {
    const QTemporaryDir folder;
    const QString password = QString::fromUtf8(PostgresCluster::kLoginPassword);
    for (const PasswordRoute& route : passwordRoutes()) {
        SCOPED_TRACE(route.name);
        EXPECT_NO_THROW(route.connect(password, folder));
    }
}

TEST(PgConnectionTest, RefusedLoginsWithoutAWrongPassword) {
    const struct {
        const char* name;
        QString conninfo;
        const char* reason;
    } cases[] = {
        {"NoPassword", loginInfo() + " passfile=/nonexistent", "no password supplied"},
        {"NoSuchDatabase",
         QString::fromStdString(PostgresCluster::shared().conninfo("no_such_database")),
         "database \"no_such_database\" does not exist"},
        {"NoSuchRole",
         QString::fromStdString(PostgresCluster::shared().conninfo()) + " user=nobody_here",
         "role \"nobody_here\" does not exist"},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(refused.name);
        const PostgisError error = connectionFailure(refused.conninfo);
        EXPECT_EQ(error.kind(), PostgisFailure::LoginRefused);
        EXPECT_TRUE(error.description().contains(QLatin1String(refused.reason)))
            << error.description().toStdString();
    }
}

TEST(PgConnectionTest, NoServerAtTheAddressIsUnreachable) {
    const QTemporaryDir empty;
    const PostgisError error = connectionFailure(
        QStringLiteral("host=%1 dbname=postgres password=Zq7secret").arg(empty.path()));
    EXPECT_EQ(error.kind(), PostgisFailure::Unreachable);
    EXPECT_TRUE(error.description().contains(empty.path())) << error.description().toStdString();
    expectNoPassword(error.description(), QStringLiteral("Zq7secret"));
}

TEST(PgConnectionTest, MalformedConnectionStringsDoNotEchoTheirPieces) {
    // libpq quotes the piece it cannot parse, or the whole URI, in its complaint.
    const struct {
        const char* name;
        QString conninfo;
        QString secret;
    } cases[] = {
        {"KeywordString", QStringLiteral("host=/tmp password=Zq7 secret words"),
         QStringLiteral("secret words")},
        {"Uri", QStringLiteral("postgresql://anna:Zq7secret@[::1/postgres"),
         QStringLiteral("Zq7secret")},
    };
    for (const auto& malformed : cases) {
        SCOPED_TRACE(malformed.name);
        const PostgisError error = connectionFailure(malformed.conninfo);
        EXPECT_EQ(error.kind(), PostgisFailure::Other);
        EXPECT_TRUE(
            error.description().startsWith(QLatin1String("Invalid PostgreSQL connection string")));
        expectNoPassword(error.description(), malformed.secret);
        EXPECT_FALSE(error.description().contains(QLatin1String("secret")));
    }
}

TEST(PgConnectionTest, CancelStopsARunningStatementOnTheServer) {
    PgConnection connection(QString::fromStdString(PostgresCluster::shared().conninfo()));
    const auto started = std::chrono::steady_clock::now();
    connection.setCancelCheck([started] {
        return std::chrono::steady_clock::now() - started > std::chrono::milliseconds(300);
    });
    try {
        connection.execute("SELECT pg_sleep(60)");
        FAIL() << "not cancelled";
    } catch (const PostgisError& error) {
        EXPECT_EQ(error.kind(), PostgisFailure::Cancelled);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(PgConnectionTest, ServerErrorsAndALostConnectionAreTold) {
    PgConnection connection(QString::fromStdString(PostgresCluster::shared().conninfo()));
    try {
        connection.execute("SELECT * FROM no_such_table");
        FAIL() << "no error";
    } catch (const PostgisError& error) {
        EXPECT_EQ(error.kind(), PostgisFailure::Other);
        EXPECT_TRUE(error.description().contains(QLatin1String("no_such_table")));
        EXPECT_FALSE(error.description().contains(u'\n'));
    }
    const QByteArray pid = connection.query("SELECT pg_backend_pid()").value(0, 0);
    rows("SELECT pg_terminate_backend(" + pid.toStdString() + ")");
    try {
        connection.execute("SELECT 1");
        FAIL() << "no error";
    } catch (const PostgisError& error) {
        EXPECT_EQ(error.kind(), PostgisFailure::ConnectionLost)
            << error.description().toStdString();
    }
}
