#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// A fixed set of threads that run one task at a time, each on every thread (given the thread's
// number), while the caller goes on with other work. The threads live as long as the pool, so
// what a task keeps per thread (state that must not cross threads) lives on between tasks.
class WorkerPool {
public:
    // `threads`: at least one.
    explicit WorkerPool(int threads);
    // Waits for the running task, then ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int size() const { return static_cast<int>(m_threads.size()); }

    // Starts `task(worker)` on every worker and returns at once; the previous task must have
    // been waited for.
    void start(std::function<void(int worker)> task);
    // Waits until every worker has finished the task; rethrows what one of them threw.
    void wait();

    // The threads worth running for work that keeps the processor busy: one per core.
    static int coreCount();

private:
    void work(int worker);

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::function<void(int)> m_task;
    unsigned long m_round = 0;  // counts the tasks started
    int m_running = 0;
    bool m_stopping = false;
    std::exception_ptr m_failure;
};
