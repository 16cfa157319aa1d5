#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

// Runs `body` in a child process and returns its exit code; -1 when it did not end within
// `seconds` (it is then killed) or died of a signal. For what could hang (a named pipe opened
// the blocking way) or needs limits of its own (a file size limit), so the test process is
// never caught.
inline int runInChild(int seconds, const std::function<int()>& body) {
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        int code = 1;
        try {
            code = body();
        } catch (...) {
            code = 99;
        }
        _exit(code);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
