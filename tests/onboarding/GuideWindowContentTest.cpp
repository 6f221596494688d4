#include <gtest/gtest.h>

#include "input/HotkeyStore.h"
#include "onboarding/GuideWindowContent.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using P = GuidePermissionProblem;
using S = OnboardingStage;

struct GuideWindowContentTest : ::testing::Test {
    FakePlatform fake{FakePlatform::Facts::linux};
    GuideFacts facts{KeyLabelStyle::words, HotkeyStore::current(), "Openbox", true};

    std::vector<GuideAction> actions(const GuideWindowContent& c) {
        std::vector<GuideAction> out;
        for (const auto& row : c.actions)
            out.push_back(row.action);
        return out;
    }
};

TEST_F(GuideWindowContentTest, EachFailingCheckIsNamedWithWhatFixesIt) {
    auto wayland = GuideWindow::content(S::permissions, P::waylandSession, facts);
    EXPECT_EQ(wayland.title, "Vantlo needs an X11 session");
    EXPECT_FALSE(wayland.defaultEnabled);
    EXPECT_EQ(wayland.defaultLabel, "Continue");

    auto noManager = GuideWindow::content(S::permissions, P::noWindowManager, facts);
    EXPECT_EQ(noManager.title, "No window manager is running");
    EXPECT_TRUE(noManager.actions.empty());

    auto taken = GuideWindow::content(S::permissions, P::hotKeyTaken, facts);
    EXPECT_EQ(taken.title, "Alt+Tab is taken");
    EXPECT_NE(taken.subtitle.find("Openbox uses Alt+Tab"), std::string::npos) << taken.subtitle;
    EXPECT_EQ(actions(taken),
              (std::vector<GuideAction>{GuideAction::useAnotherShortcut,
                                        GuideAction::freeDesktopKey, GuideAction::tryAgain}));
    EXPECT_EQ(taken.actions[1].label, "Free Alt+Tab");

    facts.desktopName.clear();
    facts.canFreeKey = false;
    auto unknownDesktop = GuideWindow::content(S::permissions, P::hotKeyTaken, facts);
    EXPECT_NE(unknownDesktop.subtitle.find("Another program holds Alt+Tab"), std::string::npos);
    EXPECT_EQ(actions(unknownDesktop),
              (std::vector<GuideAction>{GuideAction::useAnotherShortcut, GuideAction::tryAgain}))
        << "nothing to free on a desktop Vantlo does not know";
}

TEST_F(GuideWindowContentTest, SummonNamesTheRealShortcut) {
    auto summon = GuideWindow::content(S::summon, P::none, facts);
    EXPECT_TRUE(summon.defaultEnabled);
    EXPECT_EQ(summon.defaultLabel, "Got it");
    EXPECT_EQ(summon.keyCaps, (std::vector<std::string>{"Alt", "Tab"}));
    EXPECT_EQ(summon.summonText, "Hold Alt and press Tab");

    facts.hotkey = HotkeyConfig{40, CarbonModifiers::control | CarbonModifiers::option};
    auto recorded = GuideWindow::content(S::summon, P::none, facts);
    EXPECT_EQ(recorded.keyCaps, (std::vector<std::string>{"Ctrl", "Alt", "K"}));
    EXPECT_EQ(recorded.summonText, "Hold Ctrl+Alt and press K");

    facts.style = KeyLabelStyle::glyphs;
    facts.hotkey = HotkeyStore::current();
    auto mac = GuideWindow::content(S::summon, P::none, facts);
    EXPECT_EQ(mac.keyCaps, (std::vector<std::string>{"⌥", "⇥"}));
    EXPECT_EQ(mac.summonText, "Hold Option and press Tab");
    EXPECT_EQ(GuideWindow::content(S::permissions, P::hotKeyTaken, facts).title,
              "Enable Accessibility")
        << "the Mac asks for its permission whatever the check says";
}

}  // namespace
}  // namespace vantlo
