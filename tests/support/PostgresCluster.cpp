#include "support/PostgresCluster.h"

#include <libpq-fe.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {
constexpr const char* kSuperuser = "conflux";
constexpr const char* kFolderPrefix = "conflux-pg-";

std::string binary(const char* name) {
    return std::string(CONFLUX_PG_BINDIR) + "/" + name;
}

bool alive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

pid_t readPid(const fs::path& file) {
    std::ifstream in(file);
    long pid = 0;
    in >> pid;
    return static_cast<pid_t>(pid);
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Deletes the clusters of test binaries that died without stopping theirs, first ending a
// server still running there (one of ours: its command line names that folder).
void removeAbandonedIn(const fs::path& base) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(base, error)) {
        const fs::path folder = entry.path();
        if (folder.filename().string().rfind(kFolderPrefix, 0) != 0 ||
            !fs::exists(folder / "owner", error) || alive(readPid(folder / "owner"))) {
            continue;
        }
        const pid_t server = readPid(folder / "data" / "postmaster.pid");
        const std::string command = readFile("/proc/" + std::to_string(server) + "/cmdline");
        if (alive(server) && command.find(folder.string()) != std::string::npos) {
            ::kill(server, SIGKILL);
        }
        fs::remove_all(folder, error);
    }
}

// Where clusters go: the temporary folder, unless the server's user could not reach it or
// the socket's path would be too long for a Unix socket.
fs::path baseFolder(bool otherUser) {
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    struct stat info {};
    if (error || base.string().size() > 60 ||
        (otherUser && (::stat(base.c_str(), &info) != 0 || (info.st_mode & S_IXOTH) == 0))) {
        base = "/tmp";
    }
    return base;
}

// Starts `argv` with its output appended to `logPath`, as `uid`/`gid` when running as root.
// The child gets `deathSignal` when the thread that started it dies.
pid_t launch(const std::vector<std::string>& argv, const std::string& logPath, uid_t uid, gid_t gid,
             int deathSignal) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const bool switchUser = ::geteuid() == 0;
    const pid_t parent = ::getpid();
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (log < 0 || input < 0) {
        throw std::runtime_error("cannot open " + logPath);
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(input, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        if (switchUser &&
            (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) {
            ::_exit(126);
        }
        // Set after the user change, which clears it.
        ::prctl(PR_SET_PDEATHSIG, deathSignal);
        if (::getppid() != parent) {
            ::_exit(125);
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(log);
    ::close(input);
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    return pid;
}

std::string quoted(const std::string& value) {
    std::string text = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\') {
            text += '\\';
        }
        text += c;
    }
    return text + "'";
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
}  // namespace

void PostgresCluster::removeAbandoned() {
    removeAbandonedIn(baseFolder(false));
    removeAbandonedIn(baseFolder(true));
}

PostgresCluster& PostgresCluster::shared() {
    static std::string failure;
    if (!failure.empty()) {
        throw std::runtime_error(failure);
    }
    try {
        static PostgresCluster cluster;
        return cluster;
    } catch (const std::exception& error) {
        failure = error.what();
        throw;
    }
}

PostgresCluster::PostgresCluster() {
    const auto started = std::chrono::steady_clock::now();
    const bool root = ::geteuid() == 0;
    if (root) {
        const passwd* user = ::getpwnam("postgres");
        user = user ? user : ::getpwnam("nobody");
        if (!user) {
            throw std::runtime_error("no unprivileged user to run PostgreSQL as");
        }
        m_uid = user->pw_uid;
        m_gid = user->pw_gid;
    }
    const fs::path base = baseFolder(root);
    removeAbandonedIn(base);
    std::string pattern = (base / kFolderPrefix).string() + "XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a folder in " + base.string());
    }
    m_folder = pattern;
    std::ofstream(fs::path(m_folder) / "owner") << ::getpid() << '\n';
    if (root && ::chown(m_folder.c_str(), m_uid, m_gid) != 0) {
        stop();
        throw std::runtime_error("cannot give " + m_folder + " to the server's user");
    }
    try {
        initialize();
        start();
        query("CREATE EXTENSION postgis");
        query(std::string("CREATE ROLE ") + kLoginRole + " LOGIN PASSWORD '" + kLoginPassword +
              "'");
    } catch (...) {
        stop();
        throw;
    }
    m_startSeconds = secondsSince(started);
    std::fprintf(stderr, "PostgreSQL test cluster in %s started in %.2f s\n", m_folder.c_str(),
                 m_startSeconds);
}

PostgresCluster::~PostgresCluster() {
    const auto started = std::chrono::steady_clock::now();
    stop();
    std::fprintf(stderr, "PostgreSQL test cluster stopped and deleted in %.2f s\n",
                 secondsSince(started));
}

void PostgresCluster::initialize() const {
    const std::string data = m_folder + "/data";
    const pid_t pid =
        launch({binary("initdb"), "--pgdata=" + data, "--username=" + std::string(kSuperuser),
                "--auth=trust", "--encoding=UTF8", "--locale=C", "--no-sync", "--no-instructions"},
               m_folder + "/initdb.log", m_uid, m_gid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("initdb failed:\n" + readFile(m_folder + "/initdb.log"));
    }
    // One role logs in with a password, so that logins can fail; the rest are trusted.
    std::ofstream(data + "/pg_hba.conf", std::ios::trunc)
        << "local all " << kLoginRole << " scram-sha-256\n"
        << "local all all trust\n";
}

void PostgresCluster::start() {
    // No TCP port; durability is not wanted for data deleted at exit.
    m_server = launch({binary("postgres"), "-D", m_folder + "/data", "-k", m_folder, "-c",
                       "listen_addresses=", "-c", "fsync=off", "-c", "synchronous_commit=off", "-c",
                       "full_page_writes=off", "-c", "max_connections=30", "-c",
                       "shared_buffers=64MB", "-c", "dynamic_shared_memory_type=mmap"},
                      m_folder + "/server.log", m_uid, m_gid, SIGQUIT);
    waitUntilReady();
}

void PostgresCluster::waitUntilReady() const {
    const std::string info = conninfo();
    const auto started = std::chrono::steady_clock::now();
    while (PQping(info.c_str()) != PQPING_OK) {
        int status = 0;
        if (::waitpid(m_server, &status, WNOHANG) == m_server) {
            throw std::runtime_error("the PostgreSQL server stopped:\n" + log());
        }
        if (secondsSince(started) > 60) {
            throw std::runtime_error("the PostgreSQL server did not start in 60 s:\n" + log());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PostgresCluster::stop() noexcept {
    if (m_server > 0) {
        ::kill(m_server, SIGQUIT);
        int status = 0;
        const auto started = std::chrono::steady_clock::now();
        while (::waitpid(m_server, &status, WNOHANG) == 0) {
            if (secondsSince(started) > 10) {
                ::kill(m_server, SIGKILL);
                ::waitpid(m_server, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        m_server = -1;
    }
    std::error_code error;
    fs::remove_all(m_folder, error);
}

std::string PostgresCluster::log() const {
    return readFile(m_folder + "/server.log");
}

std::string PostgresCluster::conninfo(const std::string& database) const {
    return "host=" + quoted(m_folder) + " dbname=" + quoted(database) + " user=" + kSuperuser;
}

std::string PostgresCluster::loginConninfo(const std::string& database) const {
    return "host=" + quoted(m_folder) + " dbname=" + quoted(database) + " user=" + kLoginRole;
}

std::vector<PostgresCluster::Row> PostgresCluster::query(const std::string& sql,
                                                         const std::string& database) const {
    const std::unique_ptr<PGconn, void (*)(PGconn*)> conn(
        PQconnectdb((conninfo(database) + " client_encoding=UTF8").c_str()), PQfinish);
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        throw std::runtime_error(PQerrorMessage(conn.get()));
    }
    PQsetNoticeProcessor(
        conn.get(), [](void*, const char*) {}, nullptr);
    const std::unique_ptr<PGresult, void (*)(PGresult*)> result(PQexec(conn.get(), sql.c_str()),
                                                                PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        throw std::runtime_error(sql + ": " + PQresultErrorMessage(result.get()));
    }
    std::vector<Row> rows(PQntuples(result.get()));
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        for (int column = 0; column < PQnfields(result.get()); ++column) {
            rows[row].push_back(
                PQgetisnull(result.get(), row, column)
                    ? std::nullopt
                    : std::optional<std::string>(PQgetvalue(result.get(), row, column)));
        }
    }
    return rows;
}

void PostgresCluster::createDatabase(const std::string& name, const std::string& encoding) const {
    query("CREATE DATABASE \"" + name + "\" TEMPLATE template0 ENCODING '" + encoding +
          "' LC_COLLATE 'C' LC_CTYPE 'C'");
    query("CREATE EXTENSION postgis", name);
}
