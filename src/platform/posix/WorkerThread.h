#pragma once
// One thread that runs posted tasks one at a time, each once its delay has passed, ordered by due
// time and then by posting order. Destroying it drops the tasks that have not run and waits for
// the running one; it must not be destroyed from one of its own tasks.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/Dispatch.h"

namespace vantlo {

class WorkerThread {
  public:
    WorkerThread();
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void post(Task task, double delaySeconds = 0);
    bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

  private:
    using Clock = std::chrono::steady_clock;
    // Due time, then posting order.
    using Key = std::pair<Clock::time_point, std::uint64_t>;

    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::map<Key, Task> tasks_;
    std::uint64_t nextSequence_ = 0;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the rest is ready
};

}  // namespace vantlo
