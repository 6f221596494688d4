#include <gtest/gtest.h>

#include "browser/BrowserTabEnumerator.h"
#include "testing/FakePlatform.h"
#include "testing/FakeScriptedApps.h"

namespace vantlo {
namespace {

namespace E = BrowserTabEnumerator;
using Node = FakeAXNode;

class TabSelectionTest : public ::testing::Test {
  protected:
    TabSelectionTest() {
        chrome->addWindow({{"Inbox", "https://mail.example/"}, {"News", "https://news.example/"}});
        chrome->addWindow({{"Docs", "https://docs.example/"}, {"Wiki", "https://wiki.example/"}});
        back = &fake.addWindow(app, "Docs - Chrome");
        front = &fake.addWindow(app, "Inbox - Chrome");
        // As a real browser does, a window the script brings forward is restacked on the desk.
        chrome->onBroughtToFront([this](std::int64_t id) {
            const auto& windows = chrome->windows();
            fake.desktop->raise(id == windows.front().id && windows.front().tabs[0].title == "Docs"
                                    ? *back
                                    : *front);
        });
    }

    static TabItem tab(std::string title, std::string url, std::int64_t window, std::int64_t index,
                       std::string bundleID = "com.google.Chrome") {
        TabItem t;
        t.browserBundleID = std::move(bundleID);
        t.title = std::move(title);
        t.url = std::move(url);
        t.windowIndex = window;
        t.tabIndex = index;
        return t;
    }

    FakePlatform fake;
    FakeScriptedApps scripted{fake};
    FakeApp& app = fake.addApp({.bundleID = "com.google.Chrome", .name = "Google Chrome"});
    std::shared_ptr<FakeBrowserDictionary> chrome =
        scripted.addBrowser("Google Chrome", BrowserFamily::chromium);
    FakeWindow* back = nullptr;
    FakeWindow* front = nullptr;
};

TEST_F(TabSelectionTest, AScriptedSelectionRaisesTheWindowNowAndAgainShortlyAfter) {
    E::activate(tab("Wiki", "https://wiki.example/", 2, 2));
    EXPECT_EQ(chrome->activeTab(0).title, "Wiki");
    EXPECT_EQ(fake.effects->raised, std::vector<std::uint32_t>{back->number});
    EXPECT_EQ(fake.effects->activations, (std::vector<ActivationRecord>{{app.pid, 0}}));

    fake.dispatch->advance(0.059);
    EXPECT_EQ(fake.effects->raised.size(), 1u) << "not before 0.06 s";
    fake.dispatch->advance(0.001);
    EXPECT_EQ(fake.effects->raised, (std::vector<std::uint32_t>{back->number, back->number}));
    EXPECT_EQ(fake.effects->activations.size(), 2u);
}

// The remembered window number is stale when the tab was found by its address in another
// window: the window the script brought forward is raised, not the one at the old number.
TEST_F(TabSelectionTest, AScriptedSelectionRaisesTheWindowItBroughtForward) {
    E::activate(tab("News", "https://news.example/", 2, 5));
    EXPECT_EQ(chrome->activeTab(0).title, "News");
    EXPECT_EQ(fake.effects->raised, std::vector<std::uint32_t>{front->number})
        << "found by address in the front window, remembered as window 2";

    fake.effects->raised.clear();
    E::activate(tab("Wiki", "https://wiki.example/", 1, 9));
    EXPECT_EQ(chrome->activeTab(0).title, "Wiki");
    EXPECT_EQ(fake.effects->raised, std::vector<std::uint32_t>{back->number})
        << "found by address in the back window, remembered as window 1";
}

TEST_F(TabSelectionTest, RevealingFallsBackToTheFirstWindowOrJustTheApplication) {
    back->minimized = true;
    E::revealBrowserWindow(tab("Gone", "", 9, 1));
    EXPECT_EQ(fake.effects->raised, std::vector<std::uint32_t>{front->number});

    E::revealBrowserWindow(tab("Docs", "", 0, 1));
    EXPECT_EQ(fake.effects->raised.back(), front->number) << "position 0 counts as the first";

    E::revealBrowserWindow(tab("Docs", "", 2, 1));
    EXPECT_EQ(fake.effects->unminimized, std::vector<std::uint32_t>{back->number});

    fake.closeWindow(*front);
    fake.closeWindow(*back);
    fake.dispatch->advance(1);
    auto raises = fake.effects->raised.size();
    E::revealBrowserWindow(tab("Docs", "", 1, 1));
    EXPECT_EQ(fake.effects->raised.size(), raises);
    EXPECT_EQ(fake.effects->activations.back(), (ActivationRecord{app.pid, 0}));
}

TEST_F(TabSelectionTest, WithoutScriptingTheTabStripIsPressed) {
    chrome->refuseScripting(true);
    auto news = Node::make(AX::radioButtonRole, {{AX::title, "News"}, {AX::selected, false}});
    auto strip = Node::make(AX::tabGroupRole, {},
                            {Node::make(AX::radioButtonRole, {{AX::title, "Inbox"}}), news});
    auto& window = fake.addWindow(app, {.title = "Inbox", .minimized = true, .content = {strip}});

    E::activate(tab("News", "", 1, 2));
    EXPECT_EQ(fake.effects->axActions.front(), (AXActionRecord{"AXRadioButton News", "AXPress"}));
    EXPECT_EQ(std::get<bool>(news->attributes.at(AX::selected)), true);
    EXPECT_EQ(fake.effects->unminimized, std::vector<std::uint32_t>{window.number});
    EXPECT_EQ(fake.effects->raised, std::vector<std::uint32_t>{window.number});
    EXPECT_TRUE(window.main);
    EXPECT_TRUE(window.focused);
    EXPECT_EQ(fake.effects->activations.size(), 2u) << "before and after the press";

    // A position beyond the strip selects nothing.
    auto actions = fake.effects->axActions.size();
    E::activate(tab("Far", "", 1, 9));
    E::activate(tab("Far", "", 7, 1));
    EXPECT_EQ(fake.effects->axActions.size(), actions);
}

TEST_F(TabSelectionTest, ASelectionScriptAnsweringFalseFallsBackToAccessibility) {
    std::vector<Node::Ref> controls;
    for (const char* title : {"One", "Two", "Three", "Four", "Five"})
        controls.push_back(Node::make(AX::radioButtonRole, {{AX::title, std::string(title)}}));
    fake.addWindow(app,
                   {.title = "Five tabs", .content = {Node::make(AX::tabGroupRole, {}, controls)}});

    // The browser knows no fifth tab in its front window and no such address: it answers false.
    E::activate(tab("Five", "https://five.example/", 1, 5));
    EXPECT_EQ(chrome->activations(), 0);
    ASSERT_FALSE(fake.effects->axActions.empty());
    EXPECT_EQ(fake.effects->axActions[0], (AXActionRecord{"AXRadioButton Five", "AXPress"}));
}

TEST_F(TabSelectionTest, ClosingUsesTheRememberedPositionOfTableBrowsersOnly) {
    E::closeTab(tab("Docs", "https://docs.example/", 2, 1, "org.example.browser"));
    EXPECT_TRUE(fake.effects->scripts.empty()) << "a browser missing from the table";

    E::closeTab(tab("Stale", "https://news.example/", 1, 2));
    ASSERT_EQ(fake.effects->scripts.size(), 1u);
    EXPECT_EQ(fake.effects->scripts[0].source,
              "tell application \"Google Chrome\"\n    try\n        close tab 2 of window 1\n"
              "    end try\nend tell");
    EXPECT_EQ(chrome->closedTabTitles(), std::vector<std::string>{"News"});
}

}  // namespace
}  // namespace vantlo
