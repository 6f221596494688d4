#pragma once
// Deterministic queues on virtual time. Nothing runs until the test says so: `runUntilIdle()`
// runs every task that is due now (main, background and serial queues alike, main first), and
// `advance(seconds)` moves the clock forward step by step through every delayed task that falls
// due on the way, running what becomes runnable at each step. All tasks run on the test's thread;
// `isMainThread()` is false only while a background task runs, so code that checks where it runs
// behaves as on a real desktop.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/Dispatch.h"
#include "testing/FakeClock.h"

namespace vantlo {

class FakeDispatch : public Dispatch {
  public:
    explicit FakeDispatch(std::shared_ptr<FakeClock> clock);

    void async(Task task) override;
    void asyncAfter(double seconds, WorkItemRef item) override;
    using Dispatch::asyncAfter;
    void global(QualityOfService qos, Task task) override;
    std::shared_ptr<SerialQueue> makeSerialQueue(const std::string& label,
                                                 QualityOfService qos) override;
    bool isMainThread() const override { return !inBackground_; }

    // Runs main and background work that is due now until none is left. Returns tasks run.
    int runUntilIdle();
    // Runs only main-queue tasks that are due now (background work stays queued).
    int runMainQueue();
    // Runs only background tasks (global and serial queues) queued now, and what they queue.
    int runBackground();
    // Moves virtual time forward by `seconds`, running everything that falls due on the way.
    void advance(double seconds);

    std::size_t pendingMainTasks() const { return main_.size(); }
    std::size_t pendingBackgroundTasks() const;
    std::size_t pendingDelayedTasks() const { return delayed_.size(); }
    double now() const { return clock_->now(); }

  private:
    class FakeSerialQueue;
    friend class FakeSerialQueue;

    bool runOneMain();
    bool runOneBackground();
    void promoteDueDelayed();

    std::shared_ptr<FakeClock> clock_;
    std::deque<Task> main_;
    std::deque<Task> background_;
    // Serial queues funnel into background_ one task at a time.
    std::map<std::tuple<double, std::uint64_t>, WorkItemRef> delayed_;
    std::uint64_t sequence_ = 0;
    bool inBackground_ = false;
};

}  // namespace vantlo
