// The real browser scripts, run by the interpreter against fake browser dictionaries.

#include "browser/BrowserScripts.h"

#include <gtest/gtest.h>

#include "browser/BrowserTabEnumerator.h"
#include "scripting/InterpretedScriptEngine.h"
#include "testing/FakeBrowserDictionary.h"
#include "testing/FakeClock.h"
#include "testing/FakeMediaPlayerDictionary.h"

namespace vantlo {
namespace {

using Page = FakeBrowserDictionary::PageSpec;

class BrowserScriptsTest : public ::testing::Test {
  protected:
    BrowserScriptsTest() {
        auto browsers = PlatformFacts::macOS("/Users/tester").browsers;
        chromeSpec = browsers.front();
        safariSpec = browsers.back();
        registry->add("Google Chrome", chrome);
        registry->add("Safari", safari);
        registry->add("Music", music);
    }

    static TabItem tab(std::string title, std::string url, std::int64_t window,
                       std::int64_t index) {
        TabItem t;
        t.title = std::move(title);
        t.url = std::move(url);
        t.windowIndex = window;
        t.tabIndex = index;
        return t;
    }

    std::optional<bool> select(const BrowserIdentity& spec, const TabItem& t) {
        auto result = engine.execute(BrowserScripts::selection(spec, t), 5);
        if (!result)
            return std::nullopt;
        return result->booleanValue();
    }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<ScriptApplicationRegistry> registry =
        std::make_shared<ScriptApplicationRegistry>();
    std::shared_ptr<FakeBrowserDictionary> chrome =
        std::make_shared<FakeBrowserDictionary>("Google Chrome", BrowserFamily::chromium);
    std::shared_ptr<FakeBrowserDictionary> safari =
        std::make_shared<FakeBrowserDictionary>("Safari", BrowserFamily::safari);
    std::shared_ptr<FakeMediaPlayerDictionary> music =
        std::make_shared<FakeMediaPlayerDictionary>();
    InterpretedScriptEngine engine{registry, clock};
    BrowserIdentity chromeSpec;
    BrowserIdentity safariSpec;
};

TEST_F(BrowserScriptsTest, QuotingDoublesBackslashesThenEscapesQuotes) {
    EXPECT_EQ(BrowserScripts::quoted(""), "\"\"");
    EXPECT_EQ(BrowserScripts::quoted(R"(a"b\c)"), R"("a\"b\\c")");
    EXPECT_EQ(BrowserScripts::quoted("\\\""), R"("\\\"")");
}

TEST_F(BrowserScriptsTest, ListingsReportEveryTabWithTheFrontWindowsActiveTab) {
    chrome->addWindow({{"Inbox", "https://mail.example/"}, {"", "https://blank.example/"}}, 2);
    chrome->addWindow({{"Docs", "https://docs.example/"}, {"Wiki", "https://wiki.example/"}}, 1);
    safari->addWindow({{"Apple", "https://apple.example/"}, {"Maps", "https://maps.example/"}}, 2);

    for (auto* spec : {&chromeSpec, &safariSpec}) {
        auto result = engine.execute(BrowserScripts::listing(*spec), 5);
        ASSERT_TRUE(result) << spec->name;
        auto tabs = BrowserTabEnumerator::tabItems(result, spec->bundleID, spec->name, 42, nullptr);
        if (spec == &safariSpec) {
            ASSERT_EQ(tabs.size(), 2u);
            EXPECT_EQ(tabs[1].title, "Maps");
            EXPECT_FALSE(tabs[0].isActiveInFrontWindow);
            EXPECT_TRUE(tabs[1].isActiveInFrontWindow) << "Safari's current tab";
            continue;
        }
        ASSERT_EQ(tabs.size(), 4u);
        EXPECT_EQ(tabs[0].title, "Inbox");
        EXPECT_EQ(tabs[1].title, "") << "an empty title stays empty";
        EXPECT_EQ(tabs[1].url, "https://blank.example/");
        EXPECT_EQ(tabs[2].windowIndex, 2);
        EXPECT_EQ(tabs[3].tabIndex, 2);
        EXPECT_TRUE(tabs[1].isActiveInFrontWindow);
        EXPECT_FALSE(tabs[2].isActiveInFrontWindow) << "only the front window's tab is active";
        EXPECT_EQ(tabs[0].faviconURL,
                  "vantlo-favicon://mail.example?page=https%3A%2F%2Fmail.example%2F&scheme=https");
        EXPECT_EQ(tabs[0].browserPID, 42);
    }
}

TEST_F(BrowserScriptsTest, ChromiumSelectionTriesTheRememberedPositionFirst) {
    chrome->addWindow({{"Inbox", "https://mail.example/"}, {"News", "https://news.example/"}});
    auto back = chrome->addWindow({{"Changed", "https://changed.example/"}, {"Other", "o"}}, 2);

    // The tab once at window 2, tab 1 now shows another page: the position still wins.
    EXPECT_EQ(select(chromeSpec, tab("Docs", "https://docs.example/", 2, 1)), true);
    EXPECT_EQ(chrome->windows().front().id, back) << "its window comes to the front";
    EXPECT_EQ(chrome->activeTab(0).title, "Changed");
    EXPECT_EQ(chrome->activations(), 1);

    // A position that no longer exists falls through to the search by address.
    EXPECT_EQ(select(chromeSpec, tab("News", "https://news.example/", 7, 1)), true);
    EXPECT_EQ(chrome->activeTab(0).title, "News");
    EXPECT_EQ(chrome->activations(), 2);

    EXPECT_EQ(select(chromeSpec, tab("Gone", "https://gone.example/", 9, 9)), false);
}

TEST_F(BrowserScriptsTest, SafariSelectionSearchesByAddressFirst) {
    safari->addWindow({{"Apple", "https://apple.example/"}, {"Maps", "https://maps.example/"}});
    auto back =
        safari->addWindow({{"Docs", "https://docs.example/"}, {"Wiki", "https://wiki.example/"}});

    // Remembered at window 1, tab 1, but the page moved: the address finds it.
    EXPECT_EQ(select(safariSpec, tab("Wiki", "https://wiki.example/", 1, 1)), true);
    EXPECT_EQ(safari->windows().front().id, back);
    EXPECT_EQ(safari->activeTab(0).title, "Wiki");

    // An address nowhere to be found: the remembered position is the fallback.
    EXPECT_EQ(select(safariSpec, tab("Lost", "https://lost.example/", 2, 2)), true);
    EXPECT_EQ(safari->activeTab(0).title, "Maps");
    EXPECT_EQ(safari->activations(), 2);

    EXPECT_EQ(select(safariSpec, tab("Lost", "https://lost.example/", 5, 1)), false);
}

TEST_F(BrowserScriptsTest, AnAddresslessTabIsFoundByTitle) {
    for (auto* browser : {chrome.get(), safari.get()}) {
        browser->addWindow({{"Start", "https://start.example/"}});
        browser->addWindow(
            {{"Reader", "https://reader.example/"}, {"Notes", "https://n.example/"}});
    }
    // Found through Accessibility: no address, a position beyond the windows.
    TabItem notes = tab("Notes", "", 4, 2);
    EXPECT_EQ(select(chromeSpec, notes), true);
    EXPECT_EQ(chrome->activeTab(0).title, "Notes");
    EXPECT_EQ(select(safariSpec, tab("Notes", "", 1, 1)), true)
        << "Safari looks for the title before the position";
    EXPECT_EQ(safari->activeTab(0).title, "Notes");

    // Neither address nor title: only a position can match.
    EXPECT_EQ(select(chromeSpec, tab("", "", 9, 9)), false);
}

TEST_F(BrowserScriptsTest, TitlesWithQuotesBackslashesAndScriptTextStayPlainText) {
    const std::string titles[] = {
        R"(Say "hi" to C:\Users\)",
        "Two\nlines\r\nand a tab\t",
        "\"\nend tell\ntell application \"Music\" to pause\n-- ",
        R"(\"); activate (*)",
        "(* not a comment *) -- nor this ¬",
    };
    std::vector<Page> pages;
    for (const auto& title : titles)
        pages.push_back({title, ""});
    chrome->addWindow(pages, 1);
    safari->addWindow(pages, 1);
    for (std::size_t i = 0; i < std::size(titles); ++i) {
        TabItem item = tab(titles[i], "", 9, 9);
        EXPECT_EQ(select(chromeSpec, item), true) << "title #" << i;
        EXPECT_EQ(chrome->activeTab(0).title, titles[i]) << "title #" << i;
        EXPECT_EQ(select(safariSpec, item), true) << "title #" << i;
        EXPECT_EQ(safari->activeTab(0).title, titles[i]) << "title #" << i;
    }
    EXPECT_TRUE(music->commands().empty()) << "no text inside a title ran as a command";
}

TEST_F(BrowserScriptsTest, ClosingAddressesTheRememberedPosition) {
    chrome->addWindow({{"Inbox", "a"}, {"News", "b"}});
    chrome->addWindow({{"Docs", "c"}, {"Wiki", "d"}, {"Blog", "e"}});

    // The position decides, not the title the item remembers.
    engine.execute(BrowserScripts::close(chromeSpec, tab("Stale title", "x", 2, 3)), 5);
    EXPECT_EQ(chrome->closedTabTitles(), std::vector<std::string>{"Blog"});

    // A position that does not exist: the browser's error is swallowed, nothing closes.
    EXPECT_TRUE(engine.execute(BrowserScripts::close(chromeSpec, tab("Docs", "c", 3, 1)), 5));
    EXPECT_TRUE(engine.execute(BrowserScripts::close(chromeSpec, tab("Docs", "c", 0, 0)), 5));
    EXPECT_EQ(chrome->closedTabTitles().size(), 1u);
}

TEST_F(BrowserScriptsTest, PositionsBelowOneAreSentAsOne) {
    chrome->addWindow({{"First", "a"}, {"Second", "b"}}, 2);
    std::string script = BrowserScripts::selection(chromeSpec, tab("Gone", "z", 0, -3));
    EXPECT_NE(script.find("set fallbackWindowIndex to 1\n    set fallbackTabIndex to 1\n"),
              std::string::npos);
    EXPECT_EQ(engine.execute(script, 5), ScriptValue(true));
    EXPECT_EQ(chrome->activeTab(0).title, "First");
}

}  // namespace
}  // namespace vantlo
