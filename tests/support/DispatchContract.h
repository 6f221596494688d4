#pragma once
// The ordering guarantees of Dispatch, as one typed test suite that runs against every
// implementation. Each area instantiates it with a driver:
//
//   struct Driver {
//       Dispatch& dispatch();
//       // Runs main-queue, delayed and background work until `done()` holds or `seconds` of the
//       // driver's time have passed; returns `done()`.
//       bool runUntil(const std::function<bool()>& done, double seconds);
//       double now();  // the driver's clock, in seconds
//   };
//
// Work may run on other threads, so everything the tasks touch is atomic or locked.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Dispatch.h"
#include "platform/DispatchGroup.h"

namespace vantlo::testing {

// Deadline for work that should finish at once; generous, as a loaded machine may be slow.
inline constexpr double kDeadline = 20.0;

// A list that several threads append to.
class SharedLog {
  public:
    void add(std::string entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    std::size_t size() const {
        std::lock_guard lock(mutex_);
        return entries_.size();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

template <typename Driver>
class DispatchContract : public ::testing::Test {
  protected:
    Driver driver_;
    Dispatch& dispatch() { return driver_.dispatch(); }
    bool runUntil(const std::function<bool()>& done, double seconds = kDeadline) {
        return driver_.runUntil(done, seconds);
    }
};

TYPED_TEST_SUITE_P(DispatchContract);

TYPED_TEST_P(DispatchContract, MainQueueRunsInSubmissionOrderOnTheMainThread) {
    SharedLog log;
    std::atomic<int> offMain = 0;
    for (int i = 0; i < 100; ++i) {
        this->dispatch().async([&, i] {
            offMain += this->dispatch().isMainThread() ? 0 : 1;
            log.add(std::to_string(i));
        });
    }
    EXPECT_EQ(log.size(), 0u) << "async never runs the task before returning";
    ASSERT_TRUE(this->runUntil([&] { return log.size() == 100; }));
    auto entries = log.entries();
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(entries[i], std::to_string(i)) << "position " << i;
    EXPECT_EQ(offMain, 0);
}

TYPED_TEST_P(DispatchContract, TasksSentFromABackgroundThreadKeepTheirOrder) {
    SharedLog log;
    this->dispatch().global(QualityOfService::userInitiated, [&] {
        for (int i = 0; i < 50; ++i)
            this->dispatch().async([&, i] { log.add(std::to_string(i)); });
    });
    ASSERT_TRUE(this->runUntil([&] { return log.size() == 50; }));
    auto entries = log.entries();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(entries[i], std::to_string(i)) << "position " << i;
}

TYPED_TEST_P(DispatchContract, DelayedTasksRunByDueTimeThenSubmissionAndNeverEarly) {
    SharedLog log;
    std::atomic<int> early = 0;
    std::atomic<int> offMain = 0;
    double start = this->driver_.now();
    auto schedule = [&](double delay, std::string name) {
        this->dispatch().asyncAfter(delay, [&, delay, name] {
            // A microsecond of slack for rounding in clocks that count seconds as doubles.
            if (this->driver_.now() - start < delay - 1e-6)
                ++early;
            offMain += this->dispatch().isMainThread() ? 0 : 1;
            log.add(name);
        });
    };
    schedule(0.20, "b");
    schedule(0.05, "a");
    schedule(0.20, "c");
    schedule(0, "now");
    schedule(-1, "negative");
    schedule(0.10, "between");
    ASSERT_TRUE(this->runUntil([&] { return log.size() == 6; }));
    EXPECT_EQ(log.entries(),
              (std::vector<std::string>{"now", "negative", "a", "between", "b", "c"}));
    EXPECT_EQ(early, 0) << "no task runs before its delay has passed";
    EXPECT_EQ(offMain, 0);
}

TYPED_TEST_P(DispatchContract, CancelledWorkItemNeverRuns) {
    std::atomic<bool> cancelledRan = false;
    std::atomic<bool> laterRan = false;
    std::atomic<int> afterwards = 0;
    auto cancelled = this->dispatch().asyncAfter(0.02, [&] { cancelledRan = true; });
    this->dispatch().asyncAfter(0.05, [&] { laterRan = true; });
    cancelled->cancel();
    ASSERT_TRUE(this->runUntil([&] { return laterRan.load(); }));
    EXPECT_FALSE(cancelledRan);

    auto ran = this->dispatch().asyncAfter(0, [&] { ++afterwards; });
    ASSERT_TRUE(this->runUntil([&] { return afterwards == 1; }));
    ran->cancel();  // after it ran: nothing happens
    EXPECT_EQ(afterwards, 1);
}

TYPED_TEST_P(DispatchContract, DelayedWorkScheduledFromABackgroundThreadRunsOnMain) {
    std::atomic<int> onMain = 0;
    this->dispatch().global(QualityOfService::utility, [&] {
        this->dispatch().asyncAfter(0.01,
                                    [&] { onMain += this->dispatch().isMainThread() ? 1 : 100; });
    });
    ASSERT_TRUE(this->runUntil([&] { return onMain != 0; }));
    EXPECT_EQ(onMain, 1);
}

TYPED_TEST_P(DispatchContract, BackgroundWorkRunsOffTheMainThreadAndHopsBack) {
    SharedLog log;
    for (auto qos : {QualityOfService::userInitiated, QualityOfService::utility}) {
        this->dispatch().global(qos, [&] {
            log.add(this->dispatch().isMainThread() ? "background-on-main" : "background");
            this->dispatch().async(
                [&] { log.add(this->dispatch().isMainThread() ? "main" : "main-off-main"); });
        });
    }
    ASSERT_TRUE(this->runUntil([&] { return log.size() == 4; }));
    auto entries = log.entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "background"), 2);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "main"), 2);
}

TYPED_TEST_P(DispatchContract, SerialQueueRunsOneTaskAtATimeInOrder) {
    auto queue = this->dispatch().makeSerialQueue("contract", QualityOfService::utility);
    SharedLog log;
    std::atomic<bool> running = false;
    std::atomic<int> overlaps = 0;
    std::atomic<int> onMain = 0;
    for (int i = 0; i < 200; ++i) {
        queue->async([&, i] {
            if (running.exchange(true))
                ++overlaps;
            onMain += this->dispatch().isMainThread() ? 1 : 0;
            log.add(std::to_string(i));
            running = false;
        });
    }
    ASSERT_TRUE(this->runUntil([&] { return log.size() == 200; }));
    auto entries = log.entries();
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(entries[i], std::to_string(i)) << "position " << i;
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(onMain, 0);
}

TYPED_TEST_P(DispatchContract, GroupNotifiesOnMainAfterEveryJobLeft) {
    DispatchGroup group(this->dispatch());
    std::atomic<int> finished = 0;
    std::atomic<int> seenWhenNotified = -1;
    std::atomic<bool> notifiedOnMain = false;
    for (int i = 0; i < 8; ++i) {
        group.enter();
        this->dispatch().global(QualityOfService::userInitiated, [&] {
            ++finished;
            group.leave();
        });
    }
    group.notify([&] {
        seenWhenNotified = finished.load();
        notifiedOnMain = this->dispatch().isMainThread();
    });
    ASSERT_TRUE(this->runUntil([&] { return seenWhenNotified != -1; }));
    EXPECT_EQ(seenWhenNotified, 8);
    EXPECT_TRUE(notifiedOnMain);
}

REGISTER_TYPED_TEST_SUITE_P(DispatchContract, MainQueueRunsInSubmissionOrderOnTheMainThread,
                            TasksSentFromABackgroundThreadKeepTheirOrder,
                            DelayedTasksRunByDueTimeThenSubmissionAndNeverEarly,
                            CancelledWorkItemNeverRuns,
                            DelayedWorkScheduledFromABackgroundThreadRunsOnMain,
                            BackgroundWorkRunsOffTheMainThreadAndHopsBack,
                            SerialQueueRunsOneTaskAtATimeInOrder,
                            GroupNotifiesOnMainAfterEveryJobLeft);

}  // namespace vantlo::testing
