#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/GuardedBy.h"
#include "platform/SubscriberList.h"
#include "platform/Subscription.h"

namespace vantlo {
namespace {

// A source of the kind every observer registry is: handlers registered through Subscriptions.
struct Source {
    SubscriberList<std::function<void(int)>> handlers;
    void send(int value) {
        handlers.forEach([value](const auto& handler) { handler(value); });
    }
};

TEST(Subscription, UnsubscribesExactlyOnceWhetherResetOrDestroyed) {
    int removals = 0;
    {
        Subscription subscription([&] { ++removals; });
        EXPECT_TRUE(subscription);
        subscription.reset();
        EXPECT_FALSE(subscription);
        subscription.reset();
        EXPECT_EQ(removals, 1) << "a second reset removes nothing";
    }
    EXPECT_EQ(removals, 1) << "destroying a reset handle removes nothing";
    {
        Subscription subscription([&] { ++removals; });
    }
    EXPECT_EQ(removals, 2) << "destroying a live handle removes once";
}

TEST(Subscription, MovingHandsTheRegistrationOver) {
    Source source;
    std::vector<int> heard;
    Subscription first = source.handlers.add([&](int v) { heard.push_back(v); });
    Subscription moved = std::move(first);
    EXPECT_FALSE(first) << "the moved-from handle is empty";
    first.reset();
    source.send(1);
    EXPECT_EQ(heard, (std::vector<int>{1})) << "resetting the moved-from handle removes nothing";

    Subscription other = source.handlers.add([&](int v) { heard.push_back(10 * v); });
    other = std::move(moved);
    EXPECT_EQ(source.handlers.size(), 1u) << "assigning over a live handle ends its registration";
    source.send(2);
    EXPECT_EQ(heard, (std::vector<int>{1, 2}));
    other.reset();
    source.send(3);
    EXPECT_EQ(heard, (std::vector<int>{1, 2}));
    EXPECT_TRUE(source.handlers.empty());
}

TEST(Subscription, OutlivesItsSource) {
    auto source = std::make_unique<Source>();
    Subscription subscription = source->handlers.add([](int) {});
    source.reset();
    subscription.reset();  // must neither crash nor touch the gone source (ASan checks)
    EXPECT_FALSE(subscription);

    auto owner = std::make_shared<int>(0);
    int removed = 0;
    Subscription weak = Subscription::removing(std::weak_ptr<int>(owner), [&](int&) { ++removed; });
    owner.reset();
    weak.reset();
    EXPECT_EQ(removed, 0) << "a gone source is not asked to remove anything";
}

TEST(Subscription, HandlerRemovedDuringADeliveryHearsNothingMore) {
    Source source;
    std::vector<std::string> heard;
    Subscription second;
    Subscription first = source.handlers.add([&](int) {
        heard.push_back("first");
        second.reset();
    });
    second = source.handlers.add([&](int) { heard.push_back("second"); });
    source.send(1);
    EXPECT_EQ(heard, (std::vector<std::string>{"first"}));
}

struct Counter {
    int calls = 0;
};

TEST(GuardedBy, RunsWhileTheOwnerLivesAndAnswersDefaultsAfter) {
    auto owner = std::make_shared<Counter>();
    auto add = guardedBy(owner, [](Counter& c, int n) {
        c.calls += n;
        return true;
    });
    auto touch = guardedBy(std::weak_ptr<Counter>(owner), [](Counter& c) { ++c.calls; });
    EXPECT_TRUE(add(2));
    touch();
    EXPECT_EQ(owner->calls, 3);
    std::weak_ptr<Counter> watch = owner;
    owner.reset();
    EXPECT_TRUE(watch.expired()) << "the guarded callable does not keep its owner";
    EXPECT_FALSE(add(5)) << "a gone owner answers the default";
    touch();
}

}  // namespace
}  // namespace vantlo
