#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

// The built executable run with arguments in their own bytes (QProcess recodes them as UTF-8,
// which cannot carry a name that is not), its output captured, and signals sent to it at chosen
// moments. A run that does not end in time is killed, so a hang fails a test instead of
// blocking it.
class ChildProcess {
public:
    // `environment`: "NAME=value" entries added to this process's environment.
    explicit ChildProcess(const QList<QByteArray>& arguments,
                          const QList<QByteArray>& environment = {}) {
        int outPipe[2];
        int errPipe[2];
        if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
            return;
        std::vector<QByteArray> storage{QByteArray(CONFLUX_EXECUTABLE)};
        storage.insert(storage.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (QByteArray& argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        // Built before the fork: the child of a threaded process may only exec.
        std::vector<QByteArray> extra(environment.begin(), environment.end());
        std::vector<char*> envp;
        for (char** entry = environ; *entry; ++entry)
            envp.push_back(*entry);
        for (QByteArray& entry : extra)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(outPipe[1], STDOUT_FILENO);
            ::dup2(errPipe[1], STDERR_FILENO);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        m_out = outPipe[0];
        m_err = errPipe[0];
    }
    ~ChildProcess() {
        if (m_pid > 0 && !m_ended) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        for (const int fd : {m_out, m_err}) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Whether the process has ended (without collecting its status).
    bool hasEnded() const {
        siginfo_t info{};
        return m_ended || (::waitid(P_PID, id_t(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                           info.si_pid == m_pid);
    }
    void signal(int number) const { ::kill(m_pid, number); }

    // Collects output until the process ends; false when it has not ended after `timeoutMs`
    // (it is then killed).
    bool wait(int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (!m_ended) {
            collect(50);
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_ended = true;
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                termSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            } else if (clock.elapsed() > timeoutMs) {
                return false;
            }
        }
        while (collect(0)) {
        }
        return true;
    }

    int exitCode = -1;   // -1 when ended by a signal
    int termSignal = 0;  // the signal that ended it
    QByteArray out;
    QByteArray err;

private:
    // Reads what is there; false when nothing was read.
    bool collect(int waitMs) {
        pollfd fds[] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        if (::poll(fds, 2, waitMs) <= 0)
            return false;
        bool any = false;
        char buffer[65536];
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                (i == 0 ? out : err).append(buffer, got);
                any = true;
            }
        }
        return any;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    bool m_ended = false;
};
