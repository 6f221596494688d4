#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DispatchGroup.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

TEST(FakeDispatch, MainQueueRunsInOrderOnlyWhenAsked) {
    FakePlatform fake;
    std::vector<int> order;
    fake.dispatch->async([&] { order.push_back(1); });
    fake.dispatch->async([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(FakeDispatch, DelayedTasksRunAtTheirDueTimeInDueThenSubmissionOrder) {
    FakePlatform fake;
    std::vector<std::string> order;
    double start = fake.clock->now();
    fake.dispatch->asyncAfter(2.8, [&] { order.push_back("b@2.8"); });
    fake.dispatch->asyncAfter(0.5, [&] { order.push_back("a@0.5"); });
    fake.dispatch->asyncAfter(2.8, [&] { order.push_back("c@2.8"); });
    fake.dispatch->advance(2.79);
    EXPECT_EQ(order, (std::vector<std::string>{"a@0.5"}));
    fake.dispatch->advance(0.01);
    EXPECT_EQ(order, (std::vector<std::string>{"a@0.5", "b@2.8", "c@2.8"}));
    EXPECT_DOUBLE_EQ(fake.clock->now(), start + 2.8);
}

TEST(FakeDispatch, ClockShowsTheDueTimeWhileADelayedTaskRuns) {
    FakePlatform fake;
    double start = fake.clock->now();
    double seen = 0;
    fake.dispatch->asyncAfter(6.0, [&] { seen = fake.clock->now(); });
    fake.dispatch->advance(10);
    EXPECT_DOUBLE_EQ(seen, start + 6.0);
}

TEST(FakeDispatch, CancelledWorkItemNeverRuns) {
    FakePlatform fake;
    bool ran = false;
    auto item = fake.dispatch->asyncAfter(1.0, [&] { ran = true; });
    item->cancel();
    fake.dispatch->advance(5);
    EXPECT_FALSE(ran);
}

TEST(FakeDispatch, BackgroundWorkIsNotMainThreadAndHopsBack) {
    FakePlatform fake;
    std::vector<std::string> log;
    fake.dispatch->global(QualityOfService::utility, [&] {
        log.push_back(fake.dispatch->isMainThread() ? "bg-on-main" : "bg");
        fake.dispatch->async(
            [&] { log.push_back(fake.dispatch->isMainThread() ? "main" : "main-off-main"); });
    });
    fake.dispatch->runMainQueue();
    EXPECT_TRUE(log.empty()) << "background work must wait for runBackground";
    fake.dispatch->runBackground();
    EXPECT_EQ(log, (std::vector<std::string>{"bg"}));
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"bg", "main"}));
}

TEST(FakeDispatch, SerialQueueRunsOneTaskAfterAnother) {
    FakePlatform fake;
    auto queue = fake.dispatch->makeSerialQueue("test", QualityOfService::utility);
    std::vector<int> order;
    for (int i = 0; i < 4; ++i)
        queue->async([&, i] { order.push_back(i); });
    EXPECT_EQ(fake.dispatch->pendingBackgroundTasks(), 1u) << "only the head is runnable";
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
}

TEST(DispatchGroup, NotifiesOnMainQueueAfterLastLeave) {
    FakePlatform fake;
    DispatchGroup group(*fake.dispatch);
    bool notified = false;
    group.enter();
    group.enter();
    group.notify([&] { notified = true; });
    group.leave();
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(notified);
    group.leave();
    EXPECT_FALSE(notified) << "notification must go through the main queue";
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(notified);
}

}  // namespace
}  // namespace vantlo
