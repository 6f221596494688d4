#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/posix/ThreadDispatch.h"

namespace vantlo {
namespace {

// Collects what the queues ran, in order, and lets the test wait for the last task.
struct Journal {
    std::mutex mutex;
    std::vector<std::string> entries;
    std::promise<void> finished;

    Task note(std::string entry) {
        return [this, entry] {
            std::lock_guard lock(mutex);
            entries.push_back(entry);
        };
    }
    Task finish() {
        return [this] { finished.set_value(); };
    }
    std::vector<std::string> waitForFinish() {
        EXPECT_EQ(finished.get_future().wait_for(std::chrono::seconds(10)),
                  std::future_status::ready);
        std::lock_guard lock(mutex);
        return entries;
    }
};

TEST(ThreadDispatch, MainQueueRunsInOrderAndDelayedByDueTime) {
    ThreadDispatch dispatch;
    Journal journal;
    // The main queue stays busy until everything is scheduled, so the cancel always comes first.
    std::promise<void> gate;
    dispatch.async([&] { gate.get_future().wait(); });
    dispatch.asyncAfter(0.4, journal.finish());
    dispatch.asyncAfter(0.3, journal.note("later"));
    auto cancelled = dispatch.asyncAfter(0.2, journal.note("cancelled"));
    dispatch.asyncAfter(0.2, journal.note("soon"));
    dispatch.async(journal.note("first"));
    dispatch.async(journal.note("second"));
    cancelled->cancel();
    gate.set_value();
    EXPECT_EQ(journal.waitForFinish(),
              (std::vector<std::string>{"first", "second", "soon", "later"}));
}

TEST(ThreadDispatch, MainThreadIsTheMainQueueOnly) {
    ThreadDispatch dispatch;
    EXPECT_FALSE(dispatch.isMainThread()) << "the test's own thread";
    std::promise<bool> onMain;
    std::promise<bool> onGlobal;
    dispatch.async([&] { onMain.set_value(dispatch.isMainThread()); });
    dispatch.global(QualityOfService::utility,
                    [&] { onGlobal.set_value(dispatch.isMainThread()); });
    EXPECT_TRUE(onMain.get_future().get());
    EXPECT_FALSE(onGlobal.get_future().get());
}

TEST(ThreadDispatch, SerialQueueKeepsOrderAndHandsBackToMain) {
    ThreadDispatch dispatch;
    Journal journal;
    auto queue = dispatch.makeSerialQueue("test", QualityOfService::utility);
    for (int i = 0; i < 50; ++i)
        queue->async(journal.note(std::to_string(i)));
    queue->async([&] { dispatch.async(journal.finish()); });
    auto entries = journal.waitForFinish();
    ASSERT_EQ(entries.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(entries[i], std::to_string(i));
}

TEST(ThreadDispatch, HugeDelaysNeverFallDueAndDestroyingDropsThem) {
    std::atomic<int> ran = 0;
    Journal journal;
    {
        ThreadDispatch dispatch;
        dispatch.asyncAfter(60, [&] { ++ran; });
        dispatch.asyncAfter(1.0e12, [&] { ++ran; });
        dispatch.asyncAfter(std::numeric_limits<double>::infinity(), [&] { ++ran; });
        // Due-time order: a delay that wrapped round into the past would run before this.
        dispatch.asyncAfter(0.05, journal.finish());
        journal.waitForFinish();
        EXPECT_EQ(ran, 0);
    }
    EXPECT_EQ(ran, 0) << "dropped at destruction";
}

}  // namespace
}  // namespace vantlo
