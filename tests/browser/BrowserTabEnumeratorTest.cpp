#include "browser/BrowserTabEnumerator.h"

#include <gtest/gtest.h>

#include "browser/BrowserScripts.h"
#include "browser/FaviconCache.h"
#include "testing/FakePlatform.h"
#include "testing/FakeScriptedApps.h"

namespace vantlo {
namespace {

namespace E = BrowserTabEnumerator;
using Node = FakeAXNode;

Node::Ref tabControl(const char* role, std::string title, bool selected = false) {
    return Node::make(role, {{AX::title, std::move(title)}, {AX::selected, selected}});
}

class BrowserTabEnumeratorTest : public ::testing::Test {
  protected:
    FakeApp& launch(const std::string& bundleID, const std::string& name) {
        return fake.addApp({.bundleID = bundleID, .name = name});
    }
    std::vector<std::string> titles(const std::vector<TabItem>& tabs) {
        std::vector<std::string> result;
        for (const auto& tab : tabs)
            result.push_back(tab.title);
        return result;
    }

    FakePlatform fake;
    FakeScriptedApps scripted{fake};
};

TEST_F(BrowserTabEnumeratorTest, RunningBrowsersAreFoundByAnyOfTheirIdentities) {
    EXPECT_FALSE(E::runningBrowser("com.apple.Safari"));
    EXPECT_FALSE(E::isSupportedBrowser(std::nullopt));
    EXPECT_FALSE(E::isSupportedBrowser("com.example.editor"));
    EXPECT_TRUE(E::isSupportedBrowser("company.thebrowser.Browser"));
    EXPECT_EQ(E::browsers().size(), 8u);

    auto& arc = fake.addApp({.bundleID = "company.other",
                             .name = "Arc Nightly",
                             .bundlePath = "/Volumes/Work/Arc.app"});
    auto& chrome = fake.addApp({.bundleID = "com.example.renamed",
                                .name = "My Chrome",
                                .bundlePath = "/Applications/Work Chrome.app",
                                .executablePath = "/Applications/Work Chrome.app/Contents/MacOS/"
                                                  "Google Chrome"});
    auto& edge = fake.addApp({.name = "Edge"});
    // Safari's process hides behind another name; only its windows' owner gives it away.
    auto& safari = fake.addApp(
        {.bundleID = "com.apple.WebKit.Host", .name = "Web Host", .windowOwnerName = "Safari"});
    fake.addWindow(safari, "Start Page");

    EXPECT_EQ(E::runningBrowser("company.thebrowser.Browser")->pid, arc.pid) << "bundle name";
    EXPECT_EQ(E::runningBrowser("company.thebrowser.Browser")->name, "Arc Nightly");
    EXPECT_EQ(E::runningBrowser("com.google.Chrome")->pid, chrome.pid) << "executable name";
    EXPECT_EQ(E::runningBrowser("com.microsoft.edgemac")->pid, edge.pid) << "display name";

    auto found = E::runningBrowser("com.apple.Safari");
    ASSERT_TRUE(found) << "window owner";
    EXPECT_EQ(found->pid, safari.pid);
    EXPECT_EQ(found->name, "Safari") << "the table's name, not the process's";
    ASSERT_TRUE(found->icon);
    EXPECT_EQ(found->icon->filePath, "/Applications/Safari.app");
    ASSERT_TRUE(found->app);
    EXPECT_EQ(found->app->pid, safari.pid);

    EXPECT_EQ(E::runningBrowserNames(),
              (std::vector<std::string>{"My Chrome", "Edge", "Arc Nightly", "Safari"}));
}

TEST_F(BrowserTabEnumeratorTest, ScriptsListTabsAndARefusingBrowserContributesNothing) {
    auto& chromeApp = launch("com.google.Chrome", "Google Chrome");
    auto& safariApp = launch("com.apple.Safari", "Safari");
    // Safari's tab strip is readable, but the fallback must not run while Chrome answers.
    fake.addWindow(safariApp,
                   {.title = "Apple",
                    .content = {Node::make(AX::tabGroupRole, {},
                                           {tabControl(AX::radioButtonRole, "Apple")})}});
    auto chrome = scripted.addBrowser("Google Chrome", BrowserFamily::chromium);
    chrome->addWindow({{"Inbox", "https://mail.example/"}, {"News", "https://news.example/"}}, 2);
    scripted.addBrowser("Safari", BrowserFamily::safari)->refuseScripting(true);

    auto tabs = E::enumerate(E::browsers(), 5);
    ASSERT_EQ(titles(tabs), (std::vector<std::string>{"Inbox", "News"}));
    EXPECT_EQ(tabs[1].browserBundleID, "com.google.Chrome");
    EXPECT_EQ(tabs[1].browserAppName, "Google Chrome");
    EXPECT_EQ(tabs[1].browserPID, chromeApp.pid);
    EXPECT_EQ(tabs[1].url, "https://news.example/");
    EXPECT_TRUE(tabs[1].isActiveInFrontWindow);
    ASSERT_TRUE(tabs[1].appIcon) << "a process without an icon shows its bundle's icon";
    EXPECT_EQ(tabs[1].appIcon->filePath, "/Applications/Google Chrome.app");
    EXPECT_NE(tabs[0].id, tabs[1].id);

    EXPECT_TRUE(E::enumerate("com.example.unknown", 5).empty());
    EXPECT_EQ(titles(E::enumerate("com.google.Chrome", 5)),
              (std::vector<std::string>{"Inbox", "News"}));
}

TEST_F(BrowserTabEnumeratorTest, ABrowserThatNeverAnswersCostsOneTimeOutAndNothingMore) {
    launch("com.google.Chrome", "Google Chrome");
    launch("com.apple.Safari", "Safari");
    scripted.addBrowser("Google Chrome", BrowserFamily::chromium)->stopAnswering(fake.clock);
    scripted.addBrowser("Safari", BrowserFamily::safari)
        ->addWindow({{"Apple", "https://a.example/"}});

    double start = fake.clock->now();
    auto tabs = E::enumerate(E::browsers(), 0);  // no time-out given: the default bounds it
    EXPECT_EQ(titles(tabs), std::vector<std::string>{"Apple"});
    EXPECT_DOUBLE_EQ(fake.clock->now() - start, E::kDefaultScriptTimeout);
    ASSERT_EQ(fake.effects->scripts.size(), 2u);
    EXPECT_EQ(fake.effects->scripts[0].timeoutSeconds, E::kDefaultScriptTimeout);

    // A deadline already past: the script yields nothing at all.
    EXPECT_EQ(E::executeAppleScript("return 1", -1), ScriptValue(1)) << "the default applies";
    EXPECT_EQ(fake.services().scriptEngine->execute("return 1", 0), std::nullopt);
}

TEST_F(BrowserTabEnumeratorTest, WithoutScriptingTabsComeFromTheTabStrips) {
    auto& chrome = launch("com.google.Chrome", "Google Chrome");
    scripted.addBrowser("Google Chrome", BrowserFamily::chromium)->refuseScripting(true);
    fake.addWindow(chrome, {.title = "Back window",
                            .content = {tabControl(AX::buttonRole, "Docs", true),
                                        tabControl(AX::buttonRole, "Back")}});
    auto strip =
        Node::make(AX::tabGroupRole, {},
                   {tabControl(AX::radioButtonRole, "Inbox"),
                    tabControl(AX::radioButtonRole, " News \n", true),
                    tabControl(AX::radioButtonRole, "New Tab"), tabControl(AX::buttonRole, "x"),
                    tabControl(AX::buttonRole, "Close window")});
    fake.addWindow(chrome,
                   {.title = "Front window", .content = {Node::make("AXToolbar", {}, {strip})}});

    auto tabs = E::enumerate(E::browsers(), 5);
    ASSERT_EQ(titles(tabs), (std::vector<std::string>{"Inbox", "News", "Docs"}));
    EXPECT_EQ(tabs[1].windowIndex, 1);
    EXPECT_EQ(tabs[1].tabIndex, 2);
    EXPECT_TRUE(tabs[1].isActiveInFrontWindow);
    EXPECT_EQ(tabs[2].windowIndex, 2);
    EXPECT_EQ(tabs[2].tabIndex, 1);
    EXPECT_FALSE(tabs[2].isActiveInFrontWindow) << "selected, but not in the front window";
    EXPECT_EQ(tabs[0].url, "");
    EXPECT_EQ(tabs[0].faviconURL, "");
    EXPECT_EQ(tabs[0].browserPID, chrome.pid);

    fake.accessibility->setTrusted(false);
    EXPECT_TRUE(E::enumerate(E::browsers(), 5).empty());
}

TEST_F(BrowserTabEnumeratorTest, TabCandidatesPreferTheLongestTabGroupThenRadioButtonsThenButtons) {
    auto& app = launch("com.google.Chrome", "Google Chrome");
    auto candidates = [&](std::vector<Node::Ref> content) {
        auto& window = fake.addWindow(app, {.title = "w", .content = std::move(content)});
        std::vector<std::string> result;
        for (const auto& c : E::tabs(fake.element(window)))
            result.push_back(c.title + (c.selected ? "*" : ""));
        return result;
    };
    using Titles = std::vector<std::string>;

    auto shortGroup = Node::make(AX::tabGroupRole, {}, {tabControl(AX::radioButtonRole, "A1")});
    auto longGroup = Node::make(AX::tabGroupRole, {},
                                {tabControl(AX::cellRole, "B1"), tabControl(AX::cellRole, "B2")});
    EXPECT_EQ(candidates({shortGroup, longGroup, tabControl(AX::radioButtonRole, "Loose")}),
              (Titles{"B1", "B2"}));

    EXPECT_EQ(candidates(
                  {tabControl(AX::buttonRole, "Button"), tabControl(AX::radioButtonRole, "Radio")}),
              Titles{"Radio"});

    // Titles fall back to the description and help; selection to the value, then focus.
    auto described =
        Node::make(AX::buttonRole, {{AX::description, "Described"}, {AX::value, true}});
    auto helped = Node::make(AX::cellRole, {{AX::help, "  Helped  "}, {AX::focused, true}});
    auto numeric = Node::make(AX::buttonRole, {{AX::title, "Go"}, {AX::value, std::string("1")}});
    EXPECT_EQ(candidates({described, helped, numeric, tabControl(AX::buttonRole, "Close tab"),
                          tabControl(AX::buttonRole, "RELOAD"), tabControl(AX::buttonRole, "Q"),
                          tabControl(AX::buttonRole, "Customize and control Google Chrome")}),
              (Titles{"Described*", "Helped*", "Go"}));

    EXPECT_EQ(E::ignoredTabTitles().size(), 14u);
}

TEST_F(BrowserTabEnumeratorTest, DescendantsAreBreadthFirstAndBounded) {
    auto& app = launch("com.google.Chrome", "Google Chrome");
    // A chain ten levels deep: only levels 1 to 8 are visited.
    Node::Ref chain = Node::make("AXGroup", {{AX::title, "level 10"}});
    for (int level = 9; level >= 1; --level)
        chain = Node::make("AXGroup", {{AX::title, "level " + std::to_string(level)}}, {chain});
    auto& deep = fake.addWindow(app, {.title = "deep", .content = {chain}});
    EXPECT_EQ(E::descendants(fake.element(deep), 8).size(), 8u);
    EXPECT_EQ(E::descendants(fake.element(deep), 0).size(), 0u);

    // Two thousand children: the walk stops after 1500 steps (the root was the first).
    std::vector<Node::Ref> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back(Node::make(AX::buttonRole, {{AX::title, "tab " + std::to_string(i)}}));
    auto& wide = fake.addWindow(app, {.title = "wide", .content = many});
    auto found = E::descendants(fake.element(wide), 8);
    ASSERT_EQ(found.size(), 1499u);
    EXPECT_EQ(found.front(), fake.accessibility->nodeElement(many.front(), wide));
    EXPECT_EQ(found.back(), fake.accessibility->nodeElement(many[1498], wide));
}

TEST_F(BrowserTabEnumeratorTest, ResultRecordsAreCheckedOneByOne) {
    using L = ScriptValue::List;
    ScriptValue result(L{
        ScriptValue(L{1, 1, true, "Kept", "https://kept.example/"}),
        ScriptValue(L{0, 1, true, "Window zero", "x"}),
        ScriptValue(L{1, 0, true, "Tab zero", "x"}),
        ScriptValue(L{1, 2, true, "Four items"}),
        ScriptValue(L{1, ScriptValue(), true, "No tab index", "x"}),
        "not a record",
        ScriptValue(L{2, 3, true, ScriptValue(), ScriptValue()}),
    });
    auto tabs = E::tabItems(result, "com.google.Chrome", "Chrome", 7, nullptr);
    ASSERT_EQ(tabs.size(), 2u);
    EXPECT_EQ(tabs[0].title, "Kept");
    EXPECT_TRUE(tabs[0].isActiveInFrontWindow);
    EXPECT_EQ(tabs[1].title, "Untitled") << "a missing title";
    EXPECT_EQ(tabs[1].url, "");
    EXPECT_FALSE(tabs[1].isActiveInFrontWindow) << "window 2";
    EXPECT_TRUE(E::tabItems(std::nullopt, "b", "B", 1, nullptr).empty());
    EXPECT_TRUE(E::tabItems(ScriptValue(L{}), "b", "B", 1, nullptr).empty());
}

TEST_F(BrowserTabEnumeratorTest, PageIconAddressesCarryTheHostAndEncodedPage) {
    EXPECT_EQ(E::faviconURL("https://www.example.com/a?q=1&r=%20#top"),
              "vantlo-favicon://www.example.com?page=https%3A%2F%2Fwww.example.com%2Fa%3Fq%3D1"
              "%26r%3D%2520%23top&scheme=https");
    EXPECT_EQ(E::faviconURL("http://example.org/?q=a&b=c"),
              "vantlo-favicon://example.org?page=http%3A%2F%2Fexample.org%2F%3Fq%3Da%26b%3Dc"
              "&scheme=http");
    EXPECT_EQ(E::faviconURL("http://[::1]:8080/"),
              "vantlo-favicon://[::1]?page=http%3A%2F%2F%5B%3A%3A1%5D%3A8080%2F&scheme=http");
    for (const char* hostless :
         {"", "about:blank", "file:///etc/hosts", "chrome:///", "https://exa mple.com/", "//"})
        EXPECT_EQ(E::faviconURL(hostless), "") << hostless;
}

TEST_F(BrowserTabEnumeratorTest, TheIconABrowserReportsRidesInTheTabsPageIconAddress) {
    launch("com.google.Chrome", "Google Chrome");
    auto chrome = scripted.addBrowser("Google Chrome", BrowserFamily::chromium);
    chrome->addWindow({{"Wiki", "http://wiki.corp/start", "http://wiki.corp/static/logo.png"},
                       {"Mail", "https://mail.example/", "data:image/png;base64,iVBORw0KGgo="},
                       {"Files", "https://files.example/", "chrome://favicon/files"},
                       {"Plain", "https://plain.example/"}});

    auto tabs = E::enumerate("com.google.Chrome", 5);
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(tabs[0].faviconURL, E::faviconURL("http://wiki.corp/start") +
                                      "&icon=http%3A%2F%2Fwiki.corp%2Fstatic%2F"
                                      "logo.png");
    EXPECT_EQ(tabs[1].faviconURL, E::faviconURL("https://mail.example/") +
                                      "&icon=data%3Aimage%2Fpng%3Bbase64%2CiVBORw0KGgo%3D");
    EXPECT_EQ(tabs[2].faviconURL, E::faviconURL("https://files.example/"))
        << "an icon the program cannot load is left out";
    EXPECT_EQ(tabs[3].faviconURL, E::faviconURL("https://plain.example/"));

    std::string huge = "data:image/png;base64," + std::string(FaviconCache::kMaxDataURLLength, 'A');
    EXPECT_EQ(E::faviconURL("https://a.example/", huge), E::faviconURL("https://a.example/"));
    EXPECT_EQ(E::faviconURL("about:blank", "https://a.example/i.png"), "")
        << "a page without a host still has no page-icon address";
}

}  // namespace
}  // namespace vantlo
