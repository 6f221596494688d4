#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "input/GlobalHotKey.h"
#include "input/HotkeyStore.h"
#include "onboarding/GuidePermissionCheck.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using P = GuidePermissionProblem;
using S = OnboardingStage;

// The guide open at its permissions stage on the Linux facts, checked by the real hot-key
// registration on the fake desktop.
struct GuidePermissionCheckTest : ::testing::Test {
    FakePlatform fake{FakePlatform::Facts::linux};
    OnboardingManager& guide = (OnboardingManager::resetShared(), OnboardingManager::shared());
    HotkeyConfig key = HotkeyStore::current();
    std::unique_ptr<GlobalHotKey> hotKey;
    bool wayland = false;
    bool windowManager = true;
    std::vector<P> heard;
    GuidePermissionCheck check{guide,
                               {[this] { return wayland; }, [this] { return windowManager; },
                                [this] {
                                    if (!hotKey || !hotKey->isRegistered())
                                        hotKey = std::make_unique<GlobalHotKey>(key, [] {});
                                    return hotKey->isRegistered();
                                }},
                               [this](P problem) { heard.push_back(problem); }};

    GuidePermissionCheckTest() { guide.setStage(S::permissions); }
    ~GuidePermissionCheckTest() override {
        check.stop();
        hotKey.reset();
        GlobalHotKey::resetShared();
        OnboardingManager::resetShared();
    }
    void seconds(double s) { fake.dispatch->advance(s); }
};

TEST_F(GuidePermissionCheckTest, AHotKeyFreedLaterIsPickedUpByTheNextCheck) {
    fake.hotKeys->refuse(key.keyCode, key.carbonModifiers);
    check.start();
    EXPECT_EQ(heard, (std::vector<P>{P::hotKeyTaken}));
    seconds(3.0);
    EXPECT_EQ(heard.size(), 1u) << "an unchanged problem is told once";
    EXPECT_EQ(guide.stage(), S::permissions);

    fake.hotKeys->free(key.keyCode, key.carbonModifiers);
    seconds(1.0);
    EXPECT_EQ(heard, (std::vector<P>{P::hotKeyTaken, P::none}));
    EXPECT_EQ(guide.stage(), S::summon);
    EXPECT_EQ(fake.hotKeys->registered().size(), 1u) << "registered once, not once a second";
}

TEST_F(GuidePermissionCheckTest, WaylandAndAMissingWindowManagerComeBeforeTheHotKey) {
    wayland = true;
    windowManager = false;
    fake.hotKeys->refuse(key.keyCode, key.carbonModifiers);
    check.start();
    EXPECT_FALSE(hotKey) << "no key is grabbed in a session Vantlo cannot work in";
    wayland = false;
    seconds(1.0);
    windowManager = true;
    seconds(1.0);
    EXPECT_EQ(heard, (std::vector<P>{P::waylandSession, P::noWindowManager, P::hotKeyTaken}));
    check.stop();
    fake.hotKeys->free(key.keyCode, key.carbonModifiers);
    seconds(5.0);
    EXPECT_EQ(guide.stage(), S::permissions) << "a stopped check changes nothing";
    EXPECT_EQ(check.checkNow(), P::none) << "Try again";
    EXPECT_EQ(guide.stage(), S::summon);
}

TEST(GuidePermissionCheck, TheSessionTypeDecidesWayland) {
    EXPECT_TRUE(GuidePermissionCheck::isWaylandSession("wayland", "wayland-0", ":0"));
    EXPECT_FALSE(GuidePermissionCheck::isWaylandSession("x11", "wayland-0", ":0"));
    EXPECT_TRUE(GuidePermissionCheck::isWaylandSession(nullptr, "wayland-0", nullptr));
    EXPECT_FALSE(GuidePermissionCheck::isWaylandSession("", "wayland-0", ":1"))
        << "an X11 display is named";
    EXPECT_FALSE(GuidePermissionCheck::isWaylandSession(nullptr, nullptr, ":0"));
}

}  // namespace
}  // namespace vantlo
