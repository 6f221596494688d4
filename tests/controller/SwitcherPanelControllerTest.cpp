#include "ControllerTestBase.h"

namespace vantlo {
namespace {

using SwitcherPanelController_ = ControllerTestBase;

TEST_F(SwitcherPanelController_, HotKeyPressesMoveDownAndWrap) {
    threeWindows();
    summon();
    ASSERT_TRUE(controller->isShowing());
    EXPECT_EQ(titles(controller->viewModel()->filtered()),
              (std::vector<std::string>{"zsh", "Inbox", "Notes"}));
    EXPECT_EQ(selectedTitle(), "Inbox") << "first press highlights the second row";
    summon();
    EXPECT_EQ(selectedTitle(), "Notes");
    summon();
    EXPECT_EQ(selectedTitle(), "zsh") << "third press wraps to the first";
}

TEST_F(SwitcherPanelController_, OneItemKeepsTheHighlightOnIt) {
    appWithWindows("Editor", "com.example.editor", {"Notes"});
    makeController();
    summon();
    EXPECT_EQ(controller->viewModel()->selectedIndex(), 0);
    EXPECT_EQ(presenter->shownItemCount, 1);
}

TEST_F(SwitcherPanelController_, ReleasingOptionCommitsTheHighlightedWindow) {
    threeWindows();
    summon();
    fake.clock->advance(1);
    releaseOption();
    EXPECT_FALSE(controller->isShowing());
    ASSERT_FALSE(fake.effects->raised.empty());
    EXPECT_GT(MRUStore::shared().score("com.example.mail::Inbox", "com.example.mail"),
              MRUStore::shared().score("com.example.terminal::zsh", "com.example.terminal"))
        << "the committed window becomes the most recent";
}

TEST_F(SwitcherPanelController_, WithoutPermissionItBeepsAndAsksForTheGuide) {
    threeWindows();
    fake.accessibility->setTrusted(false);
    int guides = 0;
    auto guideObserver =
        fake.notifications->addObserver("Vantlo.showGuide", [&](const Notification&) { ++guides; });
    summon();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(fake.effects->beeps, 1);
    EXPECT_EQ(guides, 1);
    EXPECT_EQ(OnboardingManager::shared().stage(), OnboardingStage::permissions);
}

TEST_F(SwitcherPanelController_, PlainLettersAreTextButWithOptionRunTheirBinding) {
    threeWindows();
    summon();
    EXPECT_FALSE(press(KeyCode::w, 0, "w")) << "a plain letter goes on to the search field";
    EXPECT_EQ(selectedTitle(), "Inbox");
    EXPECT_TRUE(press(KeyCode::w, ModifierFlags::option)) << "Option+W is the move-up binding";
    EXPECT_EQ(selectedTitle(), "zsh");
    EXPECT_TRUE(press(KeyCode::s, ModifierFlags::option));
    EXPECT_EQ(selectedTitle(), "Inbox");
    EXPECT_TRUE(press(KeyCode::downArrow, 0)) << "arrows move with any modifiers";
    EXPECT_EQ(selectedTitle(), "Notes");
}

TEST_F(SwitcherPanelController_, TabAndShiftTabAdvance) {
    threeWindows();
    summon();
    EXPECT_TRUE(press(KeyCode::tab));
    EXPECT_EQ(selectedTitle(), "Notes");
    EXPECT_TRUE(press(KeyCode::tab, ModifierFlags::option | ModifierFlags::shift));
    EXPECT_EQ(selectedTitle(), "Inbox");
}

TEST_F(SwitcherPanelController_, EscapeCancelsButNotWithCommand) {
    threeWindows();
    summon();
    EXPECT_FALSE(press(KeyCode::escape, ModifierFlags::command))
        << "Command+Escape is not a cancel unless bound";
    EXPECT_TRUE(controller->isShowing());
    EXPECT_TRUE(press(KeyCode::escape, ModifierFlags::option));
    EXPECT_FALSE(controller->isShowing());
    releaseOption();
    EXPECT_TRUE(fake.effects->raised.empty()) << "nothing is committed after a cancel";
}

TEST_F(SwitcherPanelController_, ReturnOpensSearchThenCommits) {
    threeWindows();
    summon();
    EXPECT_TRUE(press(KeyCode::returnKey, ModifierFlags::option));
    auto model = controller->viewModel();
    EXPECT_TRUE(model->searchActive());
    EXPECT_TRUE(model->engaged());
    EXPECT_EQ(model->enterPulse(), 1);
    model->setQuery("note");
    releaseOption();
    EXPECT_TRUE(controller->isShowing()) << "an engaged showing stays on release";
    EXPECT_TRUE(press(KeyCode::returnKey, 0));
    fake.dispatch->advance(0.1);
    EXPECT_FALSE(controller->isShowing()) << "hidden 0.08 s after the commit";
    EXPECT_EQ(model->enterPulse(), 2);
    EXPECT_EQ(fake.effects->raised.size(), 1u);
}

TEST_F(SwitcherPanelController_, MarkedTextPassesKeysOn) {
    threeWindows();
    summon();
    presenter->markedText = true;
    EXPECT_FALSE(press(KeyCode::returnKey, 0));
    EXPECT_FALSE(controller->viewModel()->searchActive());
}

TEST_F(SwitcherPanelController_, ReleaseAfterACloseHidesAndAMoveReenablesCommit) {
    threeWindows();
    summon();
    EXPECT_TRUE(press(KeyCode::x, ModifierFlags::option)) << "Option+X closes the highlighted row";
    EXPECT_EQ(fake.effects->closedByButton.size(), 1u);
    EXPECT_TRUE(controller->suppressCommitOnOptionRelease());
    EXPECT_TRUE(press(KeyCode::s, ModifierFlags::option));
    EXPECT_FALSE(controller->suppressCommitOnOptionRelease()) << "a move outside the guide";
    releaseOption();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(fake.effects->raised.size(), 1u);

    summon();
    press(KeyCode::x, ModifierFlags::option);
    releaseOption();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(fake.effects->raised.size(), 1u) << "a release right after a close commits nothing";
}

TEST_F(SwitcherPanelController_, ClicksWithinTheMarginKeepThePanel) {
    threeWindows();
    summon();
    presenter->finishSlideIn();
    ASSERT_EQ(monitors->clickMonitors(), 2u);
    Rect f = presenter->frame;
    monitors->mouseDown(EventMonitors::Scope::global, {{f.minX() - 8, f.midY()}, false, false});
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(controller->isShowing()) << "8 points beside the edge is still the panel";
    monitors->mouseDown(EventMonitors::Scope::local, {{f.midX(), f.midY()}, true, true});
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(controller->viewModel()->engaged()) << "a click in the panel with Option up";
    monitors->mouseDown(EventMonitors::Scope::global, {{f.minX() - 9, f.midY()}, false, false});
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(monitors->installed(), 0u) << "every monitor goes with the panel";
}

TEST_F(SwitcherPanelController_, PanelClosedDuringSlideInNeverGetsClickMonitors) {
    threeWindows();
    summon();
    press(KeyCode::escape, ModifierFlags::option);
    presenter->finishSlideIn();
    EXPECT_EQ(monitors->clickMonitors(), 0u);
}

TEST_F(SwitcherPanelController_, RefreshArrivingAfterTheShowingIsDropped) {
    threeWindows();
    controller->forward();
    auto model = controller->viewModel();
    fake.dispatch->runMainQueue();
    press(KeyCode::escape, ModifierFlags::option);
    auto& editor = appWithWindows("Draw", "com.example.draw", {"Sketch"});
    (void)editor;
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(model->items().size(), 3u) << "the closed showing's model is left alone";
}

TEST_F(SwitcherPanelController_, QuitApplicationStaysOutOfTheListForEightSeconds) {
    auto& app = fake.addApp({.bundleID = "com.example.player",
                             .name = "Player",
                             .bundlePath = "/Applications/Player.app"});
    appWithWindows("Mail", "com.example.mail", {"Inbox"});
    makeController();
    summon();
    auto model = controller->viewModel();
    ASSERT_EQ(titles(model->filtered()), (std::vector<std::string>{"Inbox", "Player"}));
    model->setSelectedIndex(1);
    press(KeyCode::x, ModifierFlags::option);
    EXPECT_EQ(fake.effects->terminated, (std::vector<Pid>{app.pid}));
    fake.dispatch->advance(0.35);
    EXPECT_EQ(titles(model->filtered()), (std::vector<std::string>{"Inbox"}));
    EXPECT_TRUE(controller->isRecentlyClosedApp("com.example.player"));
    fake.dispatch->advance(8.0);
    EXPECT_TRUE(controller->isRecentlyClosedApp("com.example.player"))
        << "the 1.5 s and 2.5 s refreshes record it again";
    fake.dispatch->advance(2.6);
    EXPECT_FALSE(controller->isRecentlyClosedApp("com.example.player"));
}

TEST_F(SwitcherPanelController_, GuideStagesSuppressTheCommit) {
    threeWindows();
    OnboardingManager::shared().setStage(OnboardingStage::summon);
    summon();
    EXPECT_EQ(OnboardingManager::shared().stage(), OnboardingStage::panelBasics);
    EXPECT_TRUE(controller->viewModel()->engaged());
    press(KeyCode::tab);
    EXPECT_TRUE(controller->suppressCommitOnOptionRelease()) << "moves during the guide";
    releaseOption();
    EXPECT_FALSE(controller->isShowing());
    EXPECT_TRUE(fake.effects->raised.empty());
}

TEST_F(SwitcherPanelController_, TestShowingPrintsInsteadOfActing) {
    makeController();
    std::vector<SwitchItem> items;
    for (std::string title : {"One", "Two", "Three"}) {
        WindowItem w;
        w.id = Uuid::random();
        w.appName = "App";
        w.title = title;
        items.emplace_back(w);
    }
    TabItem tab;
    tab.id = Uuid::random();
    tab.browserBundleID = "com.google.Chrome";
    tab.browserAppName = "Google Chrome";
    tab.title = "Made-up tab";
    tab.url = "https://example.org/";
    tab.windowIndex = tab.tabIndex = 1;
    items.emplace_back(tab);
    controller->showTestPanel(items, 9);
    EXPECT_EQ(selectedTitle(), "Three") << "clamped to the last row";
    // A lone tab shows only in a search.
    controller->viewModel()->setQuery("made-up");
    EXPECT_EQ(selectedTitle(), "Made-up tab");
    EXPECT_TRUE(press(KeyCode::x, ModifierFlags::option));
    controller->viewModel()->setQuery("");
    controller->viewModel()->setSelectedIndex(2);
    EXPECT_TRUE(press(KeyCode::returnKey, 0)) << "Return opens search first";
    EXPECT_TRUE(press(KeyCode::returnKey, 0));
    EXPECT_EQ(lines, (std::vector<std::string>{"Vantlo test panel close: Made-up tab",
                                               "Vantlo test panel selected: Three"}));
    EXPECT_TRUE(fake.effects->raised.empty());
    EXPECT_TRUE(fake.scripts->sources().empty()) << "no browser is asked to close a tab";
}

}  // namespace
}  // namespace vantlo
