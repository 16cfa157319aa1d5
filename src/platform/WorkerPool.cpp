#include "platform/WorkerPool.h"

#include <algorithm>

WorkerPool::WorkerPool(int threads) {
    for (int i = 0; i < std::max(1, threads); ++i) {
        m_threads.emplace_back([this, i] { work(i); });
    }
}

WorkerPool::~WorkerPool() {
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_running == 0; });
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads) {
        thread.join();
    }
}

int WorkerPool::coreCount() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 16U));
}

void WorkerPool::start(std::function<void(int)> task) {
    {
        std::lock_guard lock(m_mutex);
        m_task = std::move(task);
        m_running = size();
        m_failure = nullptr;
        ++m_round;
    }
    m_wake.notify_all();
}

void WorkerPool::wait() {
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_running == 0; });
    if (m_failure) {
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    }
}

void WorkerPool::work(int worker) {
    unsigned long seen = 0;
    for (;;) {
        std::function<void(int)> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stopping || m_round != seen; });
            if (m_stopping) {
                return;
            }
            seen = m_round;
            task = m_task;
        }
        std::exception_ptr failure;
        try {
            task(worker);
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard lock(m_mutex);
        if (failure && !m_failure) {
            m_failure = failure;
        }
        if (--m_running == 0) {
            m_done.notify_all();
        }
    }
}
