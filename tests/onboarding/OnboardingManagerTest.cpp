#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "onboarding/OnboardingManager.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using S = OnboardingStage;

struct OnboardingManagerTest : ::testing::Test {
    FakePlatform fake;
    OnboardingManager& guide = (OnboardingManager::resetShared(), OnboardingManager::shared());
    std::vector<S> published;
    Subscription subscription = guide.observe([this](S stage) { published.push_back(stage); });

    ~OnboardingManagerTest() override { OnboardingManager::resetShared(); }

    void at(S stage) {
        guide.setStage(stage);
        published.clear();
    }
};

TEST(OnboardingStage, RawValuesAndOrder) {
    ASSERT_EQ(OnboardingStages::allCases().size(), 7u);
    for (int raw = 0; raw < 7; ++raw) {
        auto stage = OnboardingStages::fromRawValue(raw);
        ASSERT_TRUE(stage.has_value()) << "raw " << raw;
        EXPECT_EQ(OnboardingStages::allCases()[raw], *stage);
        EXPECT_EQ(OnboardingStages::rawValue(*stage), raw);
    }
    for (int raw : {7, 8, 255, -1})
        EXPECT_EQ(OnboardingStages::fromRawValue(raw), std::nullopt) << "raw " << raw;
}

TEST_F(OnboardingManagerTest, StartsIdleAndFlagsReadFalse) {
    EXPECT_EQ(guide.stage(), S::idle);
    EXPECT_FALSE(OnboardingManager::didCompleteInteractiveOnboarding());
    EXPECT_FALSE(OnboardingManager::hasSeenWelcome());
}

TEST_F(OnboardingManagerTest, EventsMoveOnlyFromTheirOwnStage) {
    struct Event {
        const char* name;
        std::function<void()> report;
        S from;
        S to;
    };
    const Event events[] = {
        {"permissionDidBecomeTrusted", [&] { guide.permissionDidBecomeTrusted(); }, S::permissions,
         S::summon},
        {"panelDidShow", [&] { guide.panelDidShow(); }, S::summon, S::panelBasics},
        {"noteMove", [&] { guide.noteMove(); }, S::movement, S::actions},
    };
    for (const auto& event : events) {
        for (S stage : OnboardingStages::allCases()) {
            at(stage);
            event.report();
            EXPECT_EQ(guide.stage(), stage == event.from ? event.to : stage)
                << event.name << " at " << OnboardingStages::name(stage);
        }
    }
    EXPECT_EQ(fake.dispatch->pendingDelayedTasks(), 0u) << "none of them completes the guide";
}

TEST_F(OnboardingManagerTest, AdvanceWalksTheCards) {
    struct Case {
        S from;
        S to;
    } cases[] = {{S::idle, S::idle},
                 {S::summon, S::panelBasics},
                 {S::panelBasics, S::movement},
                 {S::movement, S::actions},
                 {S::complete, S::complete}};
    for (const auto& c : cases) {
        at(c.from);
        guide.advance();
        EXPECT_EQ(guide.stage(), c.to) << "advance at " << OnboardingStages::name(c.from);
    }
    EXPECT_FALSE(OnboardingManager::didCompleteInteractiveOnboarding());
}

TEST_F(OnboardingManagerTest, AdvanceFromPermissionsWaitsForTrust) {
    fake.accessibility->setTrusted(false);
    at(S::permissions);
    guide.advance();
    EXPECT_EQ(guide.stage(), S::permissions);
    EXPECT_TRUE(published.empty());

    fake.accessibility->setTrusted(true);
    guide.advance();
    EXPECT_EQ(guide.stage(), S::summon);
}

TEST_F(OnboardingManagerTest, DoneAtActionsCompletesAndFallsBackToIdle) {
    at(S::actions);
    guide.advance();
    EXPECT_EQ(guide.stage(), S::complete);
    EXPECT_TRUE(OnboardingManager::didCompleteInteractiveOnboarding());
    EXPECT_TRUE(OnboardingManager::hasSeenWelcome());
    EXPECT_EQ(fake.defaults->object(OnboardingManager::didCompleteKey), PropertyValue(true));

    fake.dispatch->advance(0.39);
    EXPECT_EQ(guide.stage(), S::complete);
    fake.dispatch->advance(0.01);
    EXPECT_EQ(guide.stage(), S::idle);
    EXPECT_EQ(published, (std::vector<S>{S::complete, S::idle}));
}

TEST_F(OnboardingManagerTest, GuideRestartedWithinTheResetDelayIsNotUndone) {
    fake.accessibility->setTrusted(false);
    at(S::movement);
    guide.complete();
    fake.dispatch->advance(0.2);
    guide.startGuide();
    EXPECT_EQ(guide.stage(), S::permissions);
    fake.dispatch->advance(1.0);
    EXPECT_EQ(guide.stage(), S::permissions);

    fake.accessibility->setTrusted(true);
    guide.startGuide();
    EXPECT_EQ(guide.stage(), S::summon);
}

TEST_F(OnboardingManagerTest, SecondCompletionRestartsTheResetDelay) {
    guide.complete();
    fake.dispatch->advance(0.3);
    guide.startGuide();
    guide.complete();
    fake.dispatch->advance(0.3);
    EXPECT_EQ(guide.stage(), S::complete) << "the first delay must not cut the second short";
    fake.dispatch->advance(0.15);
    EXPECT_EQ(guide.stage(), S::idle);
}

TEST_F(OnboardingManagerTest, ResetAfterCompletionSurvivesADroppedManager) {
    guide.complete();
    OnboardingManager::resetShared();
    fake.dispatch->advance(1.0);  // the pending reset finds no manager and does nothing
    EXPECT_EQ(OnboardingManager::shared().stage(), S::idle);
}

TEST_F(OnboardingManagerTest, ObserversHearChangesUntilUnsubscribed) {
    std::vector<S> second;
    auto other = guide.observe([&](S stage) { second.push_back(stage); });
    guide.setStage(S::summon);
    guide.setStage(S::summon);
    EXPECT_EQ(published, (std::vector<S>{S::summon})) << "an unchanged stage is not published";
    other.reset();
    guide.setStage(S::panelBasics);
    EXPECT_EQ(second, (std::vector<S>{S::summon}));
    EXPECT_EQ(published, (std::vector<S>{S::summon, S::panelBasics}));
}

TEST_F(OnboardingManagerTest, ObserverMayDropAnotherDuringDelivery) {
    Subscription later;
    int laterCalls = 0;
    auto first = guide.observe([&](S) { later.reset(); });
    later = guide.observe([&](S) { ++laterCalls; });
    guide.setStage(S::summon);
    EXPECT_EQ(laterCalls, 0);
}

}  // namespace
}  // namespace vantlo
