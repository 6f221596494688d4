#include "ControllerTestBase.h"
#include "switcher/PanelInputMonitors.h"
#include "testing/FakePanelInput.h"

namespace vantlo {
namespace {

// A panel that notes, when it is told to go, whether a window was raised already.
class OrderNotingPresenter : public FakePanelPresenter {
  public:
    explicit OrderNotingPresenter(FakeEffects& effects) : effects_(effects) {}
    void slideOut() override {
        raisedBeforeHiding = !effects_.raised.empty();
        FakePanelPresenter::slideOut();
    }
    void hideAtOnce() override {
        raisedBeforeHiding = !effects_.raised.empty();
        FakePanelPresenter::hideAtOnce();
    }
    bool raisedBeforeHiding = false;

  private:
    FakeEffects& effects_;
};

class SwitcherShowing_ : public ControllerTestBase {
  protected:
    SwitcherShowing_() {
        appWithWindows("Editor", "com.example.editor", {"Notes"});
        appWithWindows("Mail", "com.example.mail", {"Inbox"});
        useInOrder({"com.example.editor::Notes", "com.example.mail::Inbox"});
    }

    // A controller whose monitors sit on a panel input that the test can make refuse the grab.
    std::shared_ptr<FakePanelInput> controllerOnPanelInput() {
        auto input = std::make_shared<FakePanelInput>();
        PanelInputMonitors::Panel panel;
        panel.frame = [this] { return presenter->panelFrame(); };
        controller = SwitcherPanelController::create(
            presenter, PanelInputMonitors::create(input, panel), [](const std::string&) {});
        return input;
    }
};

TEST_F(SwitcherShowing_, HidingGivesTheGrabAndEveryMonitorBack) {
    makeController();
    summon();
    EXPECT_TRUE(monitors->holdingInput());
    EXPECT_EQ(monitors->installed(), 4u) << "key, two modifier and pointer monitors";
    presenter->finishSlideIn();
    EXPECT_EQ(monitors->installed(), 6u) << "and the two click monitors after the slide-in";
    press(KeyCode::escape, 0);
    EXPECT_FALSE(monitors->holdingInput());
    EXPECT_EQ(monitors->installed(), 0u);
    EXPECT_EQ(presenter->slideOuts, 1) << "Escape slides the panel out";
    EXPECT_EQ(presenter->instantHides, 0);

    summon();
    EXPECT_TRUE(monitors->holdingInput()) << "each showing takes its own grab";
    EXPECT_EQ(monitors->grabsTaken(), 2);
    controller.reset();
    EXPECT_FALSE(monitors->holdingInput()) << "a controller going away ends its showing";
}

TEST_F(SwitcherShowing_, OpeningTheSearchHandsTheKeyboardToThePanelForTyping) {
    makeController();
    summon();
    press(KeyCode::s, ModifierFlags::option);
    EXPECT_FALSE(monitors->panelFocusedForTyping()) << "moving keeps the keyboard grabbed";
    press(KeyCode::returnKey, ModifierFlags::option);
    EXPECT_TRUE(monitors->panelFocusedForTyping()) << "Return opened the search";
    press(KeyCode::escape, 0);
    EXPECT_FALSE(monitors->holdingInput());

    summon();
    EXPECT_FALSE(monitors->panelFocusedForTyping()) << "a new showing starts grabbed";
    controller->typeText(KeyEvent{KeyCode::a, 0, "a"});
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(controller->viewModel()->query(), "a");
    EXPECT_TRUE(monitors->panelFocusedForTyping()) << "a first typed character opened it";
}

TEST_F(SwitcherShowing_, CommitEndsTheShowingBeforeActivating) {
    auto noting = std::make_shared<OrderNotingPresenter>(*fake.effects);
    presenter = noting;
    makeController();
    summon();
    monitors->flagsChanged(0);
    EXPECT_FALSE(monitors->holdingInput()) << "the grab goes at the release itself";
    EXPECT_EQ(noting->slideOuts, 1) << "the panel starts sliding out at the release";
    EXPECT_EQ(noting->instantHides, 0);
    EXPECT_FALSE(noting->raisedBeforeHiding);
    EXPECT_EQ(fake.effects->raised.size(), 1u) << "then the chosen window is raised";
}

TEST_F(SwitcherShowing_, WithoutAScreenNothingIsTaken) {
    presenter->hasScreen = false;
    makeController();
    summon();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(monitors->grabsTaken(), 0);
    EXPECT_EQ(monitors->installed(), 0u);
}

TEST_F(SwitcherShowing_, AGrabRefusedAtTheSummonIsTakenWhenTheSlideInEnds) {
    auto input = controllerOnPanelInput();
    input->refuse = true;
    summon();
    EXPECT_TRUE(controller->isShowing());
    EXPECT_FALSE(input->holding);
    input->refuse = false;
    presenter->finishSlideIn();
    EXPECT_TRUE(input->holding);
    controller->hide();
    EXPECT_FALSE(input->holding);
}

TEST_F(SwitcherShowing_, AKeyboardThatCannotBeTakenEndsTheShowingWithOneLogLine) {
    auto input = controllerOnPanelInput();
    input->refuse = true;
    summon();
    EXPECT_TRUE(controller->isShowing()) << "the slide-in gets its chance to take it";
    presenter->finishSlideIn();
    EXPECT_TRUE(controller->isShowing()) << "ended from the main queue, not inside the slide-in";
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_FALSE(presenter->showing) << "no panel is left on screen without input";
    EXPECT_EQ(presenter->slideOuts, 1);
    EXPECT_EQ(fake.log->lines(),
              (std::vector<std::string>{"[Vantlo] The switcher closed: it could not take the "
                                        "keyboard (another program holds the keyboard)"}));
    input->flagsChanged(0);
    fake.dispatch->advance(1);
    EXPECT_TRUE(fake.effects->raised.empty());
    EXPECT_EQ(fake.log->lines().size(), 1u);

    input->refuse = false;
    summon();
    presenter->finishSlideIn();
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(controller->isShowing()) << "the next summon takes the keyboard again";
    EXPECT_TRUE(input->holding);
    EXPECT_EQ(fake.log->lines().size(), 1u);
}

TEST_F(SwitcherShowing_, AShowingEndedDuringTheSlideInReportsNoRefusal) {
    monitors->refuseGrab = true;
    makeController();
    summon();
    presenter->finishSlideIn();
    controller->hide();
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(fake.log->lines().empty());
    EXPECT_EQ(presenter->slideOuts, 1);
}

}  // namespace
}  // namespace vantlo
