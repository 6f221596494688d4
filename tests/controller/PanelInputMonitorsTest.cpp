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
        panel.passPointer = [this](const PanelPointerEvent& event) {
            pointed.push_back(event);
            if (event.kind == PanelPointerEvent::Kind::pressed && panelPressedCheck)
                panelPressedCheck();
        };
        inputMonitors = PanelInputMonitors::create(input, panel);
        controller = SwitcherPanelController::create(
            presenter, inputMonitors, [this](const std::string& l) { lines.push_back(l); });
    }

    std::shared_ptr<FakePanelInput> input = std::make_shared<FakePanelInput>();
    std::shared_ptr<PanelInputMonitors> inputMonitors;
    std::vector<std::string> passed;
    std::vector<PanelPointerEvent> pointed;
    std::function<void()> panelPressedCheck;
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

TEST_F(PanelInputMonitors_, PointerEventsOnThePanelGoOnToItAfterTheMonitors) {
    summon();
    presenter->finishSlideIn();
    const Rect f = presenter->frame;
    bool engagedWhenPassed = false;
    panelPressedCheck = [&] { engagedWhenPassed = controller->viewModel()->engaged(); };
    input->mouseDown({f.midX(), f.midY()}, MouseButton::secondary);
    input->mouseMoved({f.minX() - 30, f.midY()});
    input->scroll({f.midX(), f.midY()}, 2);
    input->scroll({f.minX() - 30, f.midY()}, 2);
    // A click away is judged where the pointer is when it arrives.
    fake.screens->setPointer({f.minX() - 4, f.midY()});
    input->mouseDown({f.minX() - 4, f.midY()});
    fake.dispatch->runUntilIdle();
    using Kind = PanelPointerEvent::Kind;
    ASSERT_EQ(pointed.size(), 3u) << "a press and a wheel turn on the panel, and every move";
    EXPECT_EQ(pointed[0].kind, Kind::pressed);
    EXPECT_EQ(pointed[0].button, MouseButton::secondary);
    EXPECT_EQ(pointed[1].kind, Kind::moved);
    EXPECT_EQ(pointed[1].location, (Point{f.minX() - 30, f.midY()}));
    EXPECT_EQ(pointed[2].kind, Kind::scrolled);
    EXPECT_EQ(pointed[2].wheelNotches, 2);
    EXPECT_TRUE(engagedWhenPassed) << "the click monitors saw the press first";
    EXPECT_TRUE(controller->isShowing()) << "wheel turns are no clicks away; 4 px is near";
}

// The backend's watchdog took the keyboard back while the main thread was stuck: what was
// queued meanwhile (the Alt release that would commit, a typed letter) is dropped, the showing
// ends without activating anything, and the next summon grabs again.
TEST_F(PanelInputMonitors_, AGrabLostToTheWatchdogEndsTheShowingWithoutActing) {
    summon();
    input->keyDown(KeyCode::a, 0, "a");
    input->flagsChanged(0);
    input->loseGrab();
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(passed.empty()) << "a key typed before the loss reached the search";
    EXPECT_TRUE(fake.effects->raised.empty()) << "the queued Alt release committed";
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(presenter->instantHides, 1) << "the panel is off the screen already";

    summon();
    EXPECT_TRUE(input->holding) << "the next showing grabs again";
    EXPECT_EQ(input->starts, 2);
    input->flagsChanged(0);
    fake.dispatch->advance(0.1);
    EXPECT_EQ(fake.effects->raised.size(), 1u) << "the next showing commits as usual";
}

TEST_F(PanelInputMonitors_, TheFocusedPanelsKeysRunTheBindingsAndComposingKeepsReturnAndEscape) {
    summon();
    presenter->finishSlideIn();
    input->keyDown(KeyCode::returnKey, ModifierFlags::option, "\r");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(input->focusedWindow, 77u) << "the open search takes the focus from the grab";
    EXPECT_TRUE(input->holding) << "the pointer and the modifiers are still held";

    EXPECT_FALSE(inputMonitors->deliverPanelKey({KeyCode::a, 0, "a"})) << "text is the field's";
    EXPECT_TRUE(passed.empty()) << "the field types it, not the model";

    presenter->markedText = true;
    EXPECT_FALSE(inputMonitors->deliverPanelKey({KeyCode::returnKey, 0, "\r"}));
    EXPECT_FALSE(inputMonitors->deliverPanelKey({KeyCode::escape, 0, "\x1B"}));
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(controller->isShowing()) << "Return and Escape belong to the composition";
    EXPECT_TRUE(fake.effects->raised.empty());

    presenter->markedText = false;
    controller->viewModel()->setQuery("Inbox");
    EXPECT_TRUE(inputMonitors->deliverPanelKey({KeyCode::returnKey, 0, "\r"}));
    fake.dispatch->advance(0.1);
    EXPECT_FALSE(controller->isShowing()) << "Return after the composition opens the row";
    EXPECT_EQ(fake.effects->raised.size(), 1u);
    EXPECT_FALSE(input->holding);
    EXPECT_EQ(input->focusedWindow, 0u) << "the focus went back with the input";
    EXPECT_FALSE(inputMonitors->deliverPanelKey({KeyCode::escape, 0, "\x1B"})) << "nothing shows";
}

}  // namespace
}  // namespace vantlo
