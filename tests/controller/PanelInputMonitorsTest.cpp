#include "ControllerTestBase.h"
#include "switcher/PanelInputMonitors.h"
#include "testing/FakePanelInput.h"

namespace vantlo {
namespace {

class PanelInputMonitors_ : public ControllerTestBase {
  protected:
    PanelInputMonitors_() {
        appWithWindows("Editor", "com.example.editor", {"Notes"});
        appWithWindows("Mail", "com.example.mail", {"Inbox"});
        useInOrder({"com.example.editor::Notes", "com.example.mail::Inbox"});
        PanelInputMonitors::Panel panel;
        panel.windowNumber = [] { return 77u; };
        panel.frame = [this] { return presenter->panelFrame(); };
        panel.passKey = [this](const KeyEvent& event) { passed.push_back(event.characters); };
        auto inputMonitors = PanelInputMonitors::create(input, panel);
        controller = SwitcherPanelController::create(
            presenter, inputMonitors, [this](const std::string& l) { lines.push_back(l); });
    }

    std::shared_ptr<FakePanelInput> input = std::make_shared<FakePanelInput>();
    std::vector<std::string> passed;
};

TEST_F(PanelInputMonitors_, HoldsTheKeyboardExactlyWhileThePanelShows) {
    summon();
    EXPECT_TRUE(input->holding);
    EXPECT_EQ(input->window, 77u);
    input->keyDown(KeyCode::escape, ModifierFlags::option);
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_FALSE(input->holding) << "every grab goes with the panel";
}

TEST_F(PanelInputMonitors_, UnconsumedKeysReachTheSearchFieldAndReleaseCommitsOnce) {
    summon();
    input->keyDown(KeyCode::a, 0, "a");
    input->keyDown(KeyCode::tab, ModifierFlags::option, "\t");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(passed, (std::vector<std::string>{"a"}));
    input->flagsChanged(0);
    fake.dispatch->advance(0.1);
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(fake.effects->raised.size(), 1u) << "one release, one commit";
}

TEST_F(PanelInputMonitors_, ClicksOnThePanelEngageAndClicksAwayDismiss) {
    summon();
    presenter->finishSlideIn();
    Rect f = presenter->frame;
    input->mouseDown({f.midX(), f.midY()});
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(controller->viewModel()->engaged());
    input->mouseDown({f.minX() - 40, f.midY()});
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(controller->isShowing());
}

}  // namespace
}  // namespace vantlo
