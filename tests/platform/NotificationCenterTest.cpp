#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

TEST(NotificationCenter, DeliversByNameWithObject) {
    FakePlatform fake;
    std::vector<std::string> seen;
    auto observer =
        fake.notifications->addObserver("Vantlo.hotkeyChanged", [&](const Notification& n) {
            seen.push_back(n.name + (n.object.has_value() ? "+object" : ""));
        });
    fake.notifications->post("Vantlo.other");
    fake.notifications->post("Vantlo.hotkeyChanged");
    fake.notifications->post("Vantlo.hotkeyChanged", std::string("x"));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"Vantlo.hotkeyChanged", "Vantlo.hotkeyChanged+object"}));
}

TEST(NotificationCenter, MainQueueObserversRunLaterAndNotAfterRemoval) {
    FakePlatform fake;
    int calls = 0;
    auto observer = fake.notifications->addObserver(
        "n", [&](const Notification&) { ++calls; }, NotificationCenter::Delivery::mainQueue);
    fake.notifications->post("n");
    EXPECT_EQ(calls, 0);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(calls, 1);
    fake.notifications->post("n");
    observer.reset();
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(calls, 1) << "a removed observer gets nothing already queued";
}

TEST(NotificationCenter, ObserverMayRemoveAnotherDuringDelivery) {
    FakePlatform fake;
    std::vector<int> calls;
    Subscription second;
    auto first = fake.notifications->addObserver("n", [&](const Notification&) {
        calls.push_back(1);
        second.reset();
    });
    second = fake.notifications->addObserver("n", [&](const Notification&) { calls.push_back(2); });
    fake.notifications->post("n");
    fake.notifications->post("n");
    EXPECT_EQ(calls, (std::vector<int>{1, 1}));
}

TEST(NotificationCenter, RegistrationRemovesObserverWhenDestroyed) {
    FakePlatform fake;
    int calls = 0;
    {
        auto registration =
            fake.notifications->addObserver("n", [&](const Notification&) { ++calls; });
        fake.notifications->post("n");
    }
    fake.notifications->post("n");
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vantlo
