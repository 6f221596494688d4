// The listing, selection and close scripts, unchanged, against a browser reached through its
// extension: answers recorded from Chromium's bridge, X windows as the window manager shows them.

#include "platform/linux/BridgeBrowser.h"

#include <gtest/gtest.h>

#include "browser/BrowserScripts.h"
#include "browser/BrowserTabEnumerator.h"
#include "platform/PlatformFacts.h"
#include "scripting/InterpretedScriptEngine.h"
#include "testing/FakeClock.h"

namespace vantlo {
namespace {

using nlohmann::json;

// Answers "list" from a recorded tab list and applies activate, focusWindow and close to it, as
// the extension would; or, once silenced, waits out the deadline like a browser that hangs.
class RecordedBridge : public BridgeTransport {
  public:
    explicit RecordedBridge(json list) : list_(std::move(list)) {}

    BridgeReply call(const json& request, const ScriptDeadline& deadline) override {
        requests.push_back(request);
        if (silentOn) {
            silentOn->set(std::max(silentOn->now(), deadline.at()));
            return {BridgeReply::Status::timedOut, {}, "the browser did not answer in time"};
        }
        std::string command = request["command"];
        if (command == "list")
            return {BridgeReply::Status::ok, list_, {}};
        for (auto& window : list_["windows"]) {
            if (command == "focusWindow" && window["id"] == request["windowId"])
                return {BridgeReply::Status::ok, json::object(), {}};
            auto& tabs = window["tabs"];
            for (std::size_t i = 0; i < tabs.size(); ++i) {
                if (tabs[i]["id"] != request.value("tabId", json()))
                    continue;
                if (command == "close")
                    tabs.erase(i);
                else
                    for (auto& tab : tabs)
                        tab["active"] = tab["id"] == request["tabId"];
                return {BridgeReply::Status::ok, json::object(), {}};
            }
        }
        return {BridgeReply::Status::failed, {}, "No tab with id"};
    }

    json list_;
    std::vector<json> requests;
    std::shared_ptr<FakeClock> silentOn;
};

class RecordedDesk : public BrowserWindowDesk {
  public:
    std::vector<DeskWindow> windowsOf(Pid pid) override {
        return pid == 4242 ? windows : std::vector<DeskWindow>{};
    }
    std::uint32_t activeWindow() override { return active; }
    void raise(std::uint32_t window) override { raised.push_back(window); }

    std::vector<DeskWindow> windows;  // topmost first
    std::uint32_t active = 0;
    std::vector<std::uint32_t> raised;
};

json tab(int id, int window, int index, const std::string& title, bool active = false) {
    return {{"id", id},         {"windowId", window},
            {"index", index},   {"title", title},
            {"active", active}, {"url", "http://127.0.0.1:8000/" + std::to_string(id)},
            {"favIconUrl", ""}, {"pinned", false}};
}

json window(int id, bool focused, std::vector<int> rect, json tabs) {
    return {{"id", id},       {"focused", focused}, {"state", "normal"}, {"left", rect[0]},
            {"top", rect[1]}, {"width", rect[2]},   {"height", rect[3]}, {"tabs", tabs}};
}

class BridgeBrowserTest : public ::testing::Test {
  protected:
    BridgeBrowserTest() {
        auto facts = PlatformFacts::linux("/home/tester", "/home/tester/.local/share",
                                          {"/usr/share"}, "org.gnome.Nautilus.desktop");
        for (const auto& row : facts.browsers)
            if (row.bundleID == "chromium")
                chromium = row;
    }

    void connect(json windows) {
        bridge = std::make_shared<RecordedBridge>(json{{"windows", windows}});
        browser = std::make_shared<BridgeBrowser>("Chromium", 4242, bridge, desk);
        registry->add("Chromium", browser);
    }

    std::vector<TabItem> list() {
        auto result = engine.execute(BrowserScripts::listing(chromium), 5);
        return BrowserTabEnumerator::tabItems(result, chromium.bundleID, "Chromium", 4242, nullptr);
    }

    std::optional<bool> select(const TabItem& t) {
        auto result = engine.execute(BrowserScripts::selection(chromium, t), 5);
        return result ? result->booleanValue() : std::nullopt;
    }

    BrowserIdentity chromium;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<ScriptApplicationRegistry> registry =
        std::make_shared<ScriptApplicationRegistry>();
    InterpretedScriptEngine engine{registry, clock};
    std::shared_ptr<RecordedDesk> desk = std::make_shared<RecordedDesk>();
    std::shared_ptr<RecordedBridge> bridge;
    std::shared_ptr<BridgeBrowser> browser;
};

TEST_F(BridgeBrowserTest, ListingFollowsTheXStackingWithEachWindowsActiveTab) {
    // The extension lists window 1 first, but window 2 is on top on the desktop.
    connect(
        {window(1, false, {0, 0, 800, 600}, {tab(11, 1, 0, "Alpha"), tab(12, 1, 1, "Beta", true)}),
         window(2, true, {900, 0, 800, 600},
                {tab(21, 2, 0, "Gamma", true), tab(22, 2, 1, "Say \"hi\" \\ o/"),
                 tab(23, 2, 2, "")})});
    desk->windows = {{0x600001, "Gamma - Chromium", {900, 0, 800, 600}},
                     {0x400001, "Beta - Chromium", {0, 0, 800, 600}}};
    desk->active = 0x600001;

    auto tabs = list();
    ASSERT_EQ(tabs.size(), 5u);
    EXPECT_EQ(tabs[0].title, "Gamma");
    EXPECT_EQ(tabs[0].windowIndex, 1);
    EXPECT_TRUE(tabs[0].isActiveInFrontWindow);
    EXPECT_EQ(tabs[1].title, "Say \"hi\" \\ o/") << "hostile titles come back unharmed";
    EXPECT_EQ(tabs[2].title, "") << "an empty title stays empty";
    EXPECT_EQ(tabs[3].title, "Alpha");
    EXPECT_EQ(tabs[3].windowIndex, 2);
    EXPECT_EQ(tabs[3].tabIndex, 1);
    EXPECT_FALSE(tabs[4].isActiveInFrontWindow) << "only the front window's tab counts";
    EXPECT_EQ(tabs[4].url, "http://127.0.0.1:8000/12");
    EXPECT_EQ(bridge->requests.size(), 1u) << "one list read serves the whole script";

    // Nothing changed: the next listing asks nothing; a reported change makes it read again.
    list();
    EXPECT_EQ(bridge->requests.size(), 1u);
    browser->markChanged();
    list();
    EXPECT_EQ(bridge->requests.size(), 2u);
}

TEST_F(BridgeBrowserTest, PageIconsOfTheLastListAreReportedPerAddressFrontWindowFirst) {
    json shared = tab(11, 1, 0, "Old copy");
    shared["favIconUrl"] = "http://127.0.0.1:8000/old.png";
    json front = tab(21, 2, 0, "Front copy", true);
    front["url"] = shared["url"];
    front["favIconUrl"] = "data:image/png;base64,iVBORw0KGgo=";
    connect({window(1, false, {0, 0, 800, 600}, {shared, tab(12, 1, 1, "No icon", true)}),
             window(2, true, {900, 0, 800, 600}, {front})});
    desk->windows = {{0x600001, "Front copy - Chromium", {900, 0, 800, 600}},
                     {0x400001, "No icon - Chromium", {0, 0, 800, 600}}};
    EXPECT_TRUE(engine.pageIconAddresses("Chromium").empty()) << "nothing read yet";
    list();
    EXPECT_EQ(engine.pageIconAddresses("Chromium"),
              (std::map<std::string, std::string>{
                  {"http://127.0.0.1:8000/11", "data:image/png;base64,iVBORw0KGgo="}}));
    EXPECT_TRUE(engine.pageIconAddresses("Firefox ESR").empty());
}

TEST_F(BridgeBrowserTest, SelectingATabActivatesItFocusesItsWindowAndRaisesTheXWindow) {
    connect({window(1, true, {0, 0, 800, 600}, {tab(11, 1, 0, "Alpha", true)}),
             window(2, false, {900, 0, 800, 600},
                    {tab(21, 2, 0, "Gamma", true), tab(22, 2, 1, "Delta"), tab(23, 2, 2, "Eps")})});
    desk->windows = {{0x400001, "Alpha - Chromium", {0, 0, 800, 600}},
                     {0x600001, "Gamma - Chromium", {900, 0, 800, 600}}};
    desk->active = 0x400001;
    auto tabs = list();
    ASSERT_EQ(tabs.size(), 4u);

    EXPECT_EQ(select(tabs[3]), true) << "window 2, tab 3";
    EXPECT_EQ(bridge->requests[1], (json{{"command", "activate"}, {"tabId", 23}}));
    EXPECT_EQ(bridge->requests[2], (json{{"command", "focusWindow"}, {"windowId", 2}}));
    EXPECT_EQ(desk->raised, std::vector<std::uint32_t>{0x600001});

    // A quoted title that no position matches any more is still found, by its address.
    auto gone = tabs[2];
    gone.windowIndex = 9;
    EXPECT_EQ(select(gone), true);
    EXPECT_EQ(bridge->requests.back(), (json{{"command", "focusWindow"}, {"windowId", 2}}));
}

TEST_F(BridgeBrowserTest, ClosingATabAddressesItByItsRememberedPosition) {
    connect(
        {window(1, true, {0, 0, 800, 600},
                {tab(11, 1, 0, "Alpha", true), tab(12, 1, 1, "Beta"), tab(13, 1, 2, "Gamma")})});
    auto tabs = list();
    ASSERT_EQ(tabs.size(), 3u);
    engine.execute(BrowserScripts::close(chromium, tabs[1]), 5);
    EXPECT_EQ(bridge->requests.back(), (json{{"command", "close"}, {"tabId", 12}}));
    tabs = list();
    ASSERT_EQ(tabs.size(), 2u) << "the list is read again after a close";
    EXPECT_EQ(tabs[1].title, "Gamma");
}

TEST_F(BridgeBrowserTest, ASilentBrowserEndsTheScriptAtItsDeadline) {
    connect({window(1, true, {0, 0, 800, 600}, {tab(11, 1, 0, "Alpha", true)})});
    bridge->silentOn = clock;
    double before = clock->now();
    EXPECT_FALSE(engine.execute(BrowserScripts::listing(chromium), 5));
    EXPECT_LE(clock->now() - before, 5.0) << "the run ends at its deadline";
    EXPECT_EQ(bridge->requests.size(), 1u) << "no further calls after the timeout";
}

TEST(BrowserWindowMatcher, PairsWindowsByTitleRectangleAndFocus) {
    BrowserWindowMatcher matcher;
    // Two windows showing the same page: the rectangles tell them apart.
    std::vector<BridgeWindow> windows(2);
    windows[0].id = 1;
    windows[0].bounds = {0, 0, 800, 600};
    windows[0].tabs = {{11, "Same", "", "", true, false}};
    windows[1].id = 2;
    windows[1].bounds = {500, 300, 800, 600};
    windows[1].tabs = {{21, "Same", "", "", true, false}};
    std::vector<DeskWindow> desk = {{0xB, "Same \u2014 Mozilla Firefox", {500, 300, 800, 600}},
                                    {0xA, "Same \u2014 Mozilla Firefox", {0, 0, 800, 600}}};
    auto pairs = matcher.match(windows, desk, 0);
    EXPECT_EQ(pairs[1], 0xAu) << "Firefox's em-dash suffix and the nearer rectangle";
    EXPECT_EQ(pairs[2], 0xBu);

    // Window 2 moved on screen after the extension last reported its bounds, and its title is
    // stale: it is still found once focus confirmed it.
    windows[1].focused = true;
    pairs = matcher.match(windows, desk, 0xB);
    windows[1].focused = false;
    windows[1].tabs[0].title = "Loading";
    desk[0].frame = {40, 40, 800, 600};
    pairs = matcher.match(windows, desk, 0xA);
    EXPECT_EQ(pairs[2], 0xBu) << "the pair confirmed by focus holds";
    EXPECT_EQ(pairs[1], 0xAu);

    EXPECT_TRUE(BrowserWindowMatcher::titleShows("News - Chromium", "News"));
    EXPECT_FALSE(BrowserWindowMatcher::titleShows("Newsletter - Chromium", "News"));
    EXPECT_FALSE(BrowserWindowMatcher::titleShows("Anything", ""));
}

}  // namespace
}  // namespace vantlo
