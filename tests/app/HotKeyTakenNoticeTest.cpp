#include <gtest/gtest.h>

#include "app/HotKeyTakenNotice.h"
#include "onboarding/OnboardingManager.h"
#include "testing/FakeDesktopNotifications.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

TEST(HotKeyTakenNotice, OneNoticeAfterTheFirstRunOpensTheGeneralPane) {
    FakePlatform fake{FakePlatform::Facts::linux};
    auto desktop = std::make_shared<FakeDesktopNotifications>();
    std::vector<std::string> panes;
    auto observer = fake.notifications->addObserver(
        "Vantlo.openPreferences",
        [&](const Notification& n) { panes.push_back(std::any_cast<std::string>(n.object)); });

    HotKeyTakenNotice firstRun(desktop);
    EXPECT_FALSE(firstRun.noteStartRegistration(false, HotkeyConfig::defaultActivation()))
        << "the guide explains it";

    fake.defaults->set(OnboardingManager::didCompleteKey, true);
    HotKeyTakenNotice registered(desktop);
    EXPECT_FALSE(registered.noteStartRegistration(true, HotkeyConfig::defaultActivation()))
        << "a free key";
    EXPECT_TRUE(desktop->notices().empty());
    EXPECT_FALSE(
        HotKeyTakenNotice(nullptr).noteStartRegistration(false, HotkeyConfig::defaultActivation()));

    HotKeyTakenNotice taken(desktop);
    EXPECT_TRUE(taken.noteStartRegistration(false, HotkeyConfig::defaultActivation()));
    EXPECT_FALSE(taken.noteStartRegistration(false, HotkeyConfig::defaultActivation()))
        << "once per start";
    auto notices = desktop->notices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title, "Alt+Tab is taken");
    EXPECT_NE(notices[0].body.find("Another program uses Alt+Tab"), std::string::npos)
        << notices[0].body;
    EXPECT_FALSE(desktop->pick(0, "dismiss"));
    EXPECT_TRUE(desktop->pick(0, HotKeyTakenNotice::kOpenGeneralAction));
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(panes, (std::vector<std::string>{"general"}));
}

}  // namespace
}  // namespace vantlo
