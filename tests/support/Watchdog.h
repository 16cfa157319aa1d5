#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test process when what it guards runs longer than it may: a step that hangs (a
// blocking open of a named pipe, say) then fails the run at once instead of blocking CI.
class Watchdog {
public:
    Watchdog(int seconds, const char* what)
        : m_thread([this, seconds, what] {
              std::unique_lock lock(m_mutex);
              if (!m_woken.wait_for(lock, std::chrono::seconds(seconds),
                                    [this] { return m_done; })) {
                  std::fprintf(stderr, "%s: still running after %d s\n", what, seconds);
                  std::_Exit(124);
              }
          }) {}
    ~Watchdog() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_woken.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_done = false;
    std::thread m_thread;  // last: starts once the members it uses exist
};
