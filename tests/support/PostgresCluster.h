#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// A PostgreSQL server with PostGIS of the test binary's own: a new cluster in a temporary
// folder, reached only through a Unix socket in that folder (no TCP port), started on first use
// and stopped and deleted when the binary exits, whether its tests passed or failed. Run as
// root, the server runs as the `postgres` user (or `nobody`): PostgreSQL refuses root.
//
// A binary that crashes or is killed leaves no server: the server gets SIGQUIT (immediate
// shutdown) when the thread that started it dies, and the next start anywhere deletes the
// folders whose binary is gone.
class PostgresCluster {
public:
    // The binary's cluster, started by the first call. Throws std::runtime_error with the
    // server's log when it cannot start; later calls throw the same.
    static PostgresCluster& shared();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // The role that must log in with a password (scram-sha-256); every other role is trusted.
    static constexpr const char* kLoginRole = "conflux_login";
    static constexpr const char* kLoginPassword = "Zq7-Пароль-#secret";

    // The folder that holds the server's socket.
    const std::string& folder() const { return m_folder; }
    // A connection string for `database` as the superuser, who needs no password.
    std::string conninfo(const std::string& database = "postgres") const;
    // The same for the password role, without a password: add one or give it elsewhere.
    std::string loginConninfo(const std::string& database = "postgres") const;

    using Row = std::vector<std::optional<std::string>>;
    // Runs SQL as the superuser and returns its rows as text (NULL as nothing). Throws
    // std::runtime_error with the server's message.
    std::vector<Row> query(const std::string& sql, const std::string& database = "postgres") const;
    // A new database with PostGIS, in `encoding` ("UTF8", "WIN1251", ...).
    void createDatabase(const std::string& name, const std::string& encoding = "UTF8") const;

    // How long the start took (initdb, server, extension), in seconds.
    double startSeconds() const { return m_startSeconds; }
    // The server's process.
    pid_t serverPid() const { return m_server; }

    // Deletes the clusters whose test binary is gone, ending a server still running there.
    // Every start does it first.
    static void removeAbandoned();

private:
    PostgresCluster();
    void initialize() const;
    void start();
    void waitUntilReady() const;
    void stop() noexcept;
    std::string log() const;

    std::string m_folder;
    uid_t m_uid = 0;  // the server's user
    gid_t m_gid = 0;
    pid_t m_server = -1;
    double m_startSeconds = 0;
};
