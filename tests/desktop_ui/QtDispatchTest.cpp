#include "platform/linux/QtDispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "QtTestApplication.h"

namespace vantlo {
namespace {

TEST(QtDispatch, MainQueueRunsInOrderOnTheMainThread) {
    testing::qtApplication();
    QtDispatch dispatch;
    std::vector<int> order;
    bool onMain = true;
    for (int i = 0; i < 5; ++i)
        dispatch.async([&, i] {
            order.push_back(i);
            onMain = onMain && dispatch.isMainThread();
        });
    ASSERT_TRUE(testing::runEventsUntil([&] { return order.size() == 5; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(onMain);
}

TEST(QtDispatch, DelayedWorkRunsByDueTimeAndCancelledWorkNever) {
    testing::qtApplication();
    QtDispatch dispatch;
    std::vector<std::string> order;
    dispatch.asyncAfter(0.06, [&] { order.push_back("late"); });
    auto cancelled = dispatch.asyncAfter(0.02, [&] { order.push_back("cancelled"); });
    dispatch.asyncAfter(0.01, [&] { order.push_back("early"); });
    cancelled->cancel();
    ASSERT_TRUE(testing::runEventsUntil([&] { return order.size() >= 2; }));
    testing::runEventsUntil([] { return false; }, 0.05);
    EXPECT_EQ(order, (std::vector<std::string>{"early", "late"}));
}

TEST(QtDispatch, BackgroundWorkRunsOffTheMainThreadAndSerialQueuesKeepOrder) {
    testing::qtApplication();
    QtDispatch dispatch;
    std::atomic<bool> offMain{false};
    std::atomic<bool> done{false};
    dispatch.global(QualityOfService::utility, [&] {
        offMain = !dispatch.isMainThread();
        done = true;
    });
    auto serial = dispatch.makeSerialQueue("test.serial", QualityOfService::userInitiated);
    std::mutex mutex;
    std::vector<int> order;
    for (int i = 0; i < 50; ++i)
        serial->async([&, i] {
            std::lock_guard guard(mutex);
            order.push_back(i);
        });
    ASSERT_TRUE(testing::runEventsUntil([&] {
        std::lock_guard guard(mutex);
        return done && order.size() == 50;
    }));
    EXPECT_TRUE(offMain);
    std::vector<int> expected(50);
    for (int i = 0; i < 50; ++i)
        expected[i] = i;
    EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace vantlo
