#include "platform/posix/WorkerThread.h"

#include <algorithm>

namespace vantlo {

WorkerThread::WorkerThread() : thread_([this] { run(); }) {}

WorkerThread::~WorkerThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        tasks_.clear();
    }
    wake_.notify_all();
    thread_.join();
}

void WorkerThread::post(Task task, double delaySeconds) {
    // Beyond a century the clock's nanoseconds would overflow; such a task is as good as never.
    constexpr double kLongestDelay = 100.0 * 365 * 24 * 3600;
    auto due = Clock::now();
    if (delaySeconds > 0)
        due += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(std::min(delaySeconds, kLongestDelay)));
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        tasks_.emplace(Key{due, nextSequence_++}, std::move(task));
    }
    wake_.notify_all();
}

void WorkerThread::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (tasks_.empty()) {
            wake_.wait(lock);
            continue;
        }
        auto next = tasks_.begin();
        // A copy: the wait lets go of the lock, and the task's entry may be gone when it returns.
        const Clock::time_point due = next->first.first;
        if (due > Clock::now()) {
            wake_.wait_until(lock, due);
            continue;
        }
        Task task = std::move(next->second);
        tasks_.erase(next);
        lock.unlock();
        task();
        lock.lock();
    }
}

}  // namespace vantlo
