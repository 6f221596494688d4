#include "browser/BrowserTabCache.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "discovery/MRUStore.h"
#include "testing/FakePlatform.h"
#include "testing/FakeScriptedApps.h"

namespace vantlo {
namespace {

class BrowserTabCacheTest : public ::testing::Test {
  protected:
    BrowserTabCacheTest() {
        BrowserTabCache::resetShared();
        MRUStore::resetShared();
        chrome->addWindow({{"Inbox", "https://mail.example/"}, {"News", "https://news.example/"}},
                          2);
        safari->addWindow({{"Apple", "https://apple.example/"}});
    }
    ~BrowserTabCacheTest() override {
        BrowserTabCache::resetShared();
        MRUStore::resetShared();
    }

    std::vector<std::string> titles() {
        std::vector<std::string> result;
        for (const auto& tab : BrowserTabCache::shared().tabs())
            result.push_back(tab.title);
        return result;
    }
    std::size_t listingsRun() { return fake.effects->scripts.size(); }

    FakePlatform fake;
    FakeScriptedApps scripted{fake};
    FakeApp& chromeApp = fake.addApp({.bundleID = "com.google.Chrome", .name = "Google Chrome"});
    FakeApp& safariApp = fake.addApp({.bundleID = "com.apple.Safari", .name = "Safari"});
    std::shared_ptr<FakeBrowserDictionary> chrome =
        scripted.addBrowser("Google Chrome", BrowserFamily::chromium);
    std::shared_ptr<FakeBrowserDictionary> safari =
        scripted.addBrowser("Safari", BrowserFamily::safari);
    // The tab keys in the recency store, most recent first.
    std::vector<std::string> recentTabs() {
        std::vector<std::pair<double, std::string>> entries;
        for (const auto& [key, time] : MRUStore::shared().windowMap()) {
            if (key.starts_with("tab::"))
                entries.emplace_back(time, key);
        }
        std::sort(entries.rbegin(), entries.rend());
        std::vector<std::string> keys;
        for (const auto& entry : entries)
            keys.push_back(entry.second);
        return keys;
    }
};

TEST_F(BrowserTabCacheTest, ConcurrentRefreshesShareOneEnumeration) {
    auto& cache = BrowserTabCache::shared();
    std::vector<std::string> calls;
    cache.refreshAsync("com.google.Chrome", [&] { calls.push_back("first"); });
    cache.refreshAsync("com.apple.Safari", [&] { calls.push_back("second"); });
    cache.refreshAsync("com.apple.Safari");
    EXPECT_TRUE(cache.isRefreshing());

    fake.dispatch->runBackground();
    EXPECT_EQ(listingsRun(), 1u) << "only the first browser was enumerated";
    EXPECT_TRUE(calls.empty()) << "callbacks wait for the main queue";
    fake.dispatch->runMainQueue();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"Inbox", "News"}));
    EXPECT_FALSE(cache.isRefreshing());
    EXPECT_EQ(cache.refreshedAt(), fake.clock->now());
}

TEST_F(BrowserTabCacheTest, OneBrowserRefreshesReplaceOnlyThatBrowsersTabs) {
    auto& cache = BrowserTabCache::shared();
    cache.refreshAsync(std::nullopt);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Inbox", "News", "Apple"}));

    chrome->addWindow({{"Docs", "https://docs.example/"}});
    cache.refreshAsync("com.google.Chrome");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Apple", "Inbox", "News", "Docs"}))
        << "the refreshed browser's tabs move after the others";

    // A refresh that finds nothing drops that browser's tabs and keeps the last good time.
    auto refreshedAt = cache.refreshedAt();
    fake.clock->advance(30);
    chrome->refuseScripting(true);
    cache.refreshAsync("com.google.Chrome");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(titles(), std::vector<std::string>{"Apple"});
    EXPECT_EQ(cache.refreshedAt(), refreshedAt);
}

TEST_F(BrowserTabCacheTest, TheFrontmostBrowsersActiveTabIsMarkedAsUsed) {
    auto& cache = BrowserTabCache::shared();
    cache.refreshAsync(std::nullopt);
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(recentTabs().empty()) << "no browser in front";

    fake.setFrontmost(chromeApp);
    cache.refreshAsync(std::nullopt);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(recentTabs(), std::vector<std::string>{"tab::com.google.Chrome::News::1::2"});
    EXPECT_EQ(MRUStore::shared().score("tab::com.google.Chrome::News::1::2", std::nullopt),
              fake.clock->now());

    fake.clock->advance(1);
    fake.setFrontmost(safariApp);
    cache.refreshForegroundBrowserNow();
    EXPECT_EQ(recentTabs().front(), "tab::com.apple.Safari::Apple::1::1");
}

TEST_F(BrowserTabCacheTest, TheForegroundRefreshKeepsTheCacheWhenItFindsNothing) {
    auto& cache = BrowserTabCache::shared();
    cache.refreshForegroundBrowserNow();
    EXPECT_TRUE(titles().empty()) << "no frontmost application";

    cache.refreshAsync(std::nullopt);
    fake.dispatch->runUntilIdle();
    fake.setFrontmost(chromeApp);
    chrome->addWindow({{"Docs", "https://docs.example/"}});
    cache.refreshForegroundBrowserNow();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Apple", "Inbox", "News", "Docs"}));

    chrome->refuseScripting(true);
    cache.refreshForegroundBrowserNow();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Apple", "Inbox", "News", "Docs"}));
}

TEST_F(BrowserTabCacheTest, WhereASummonMayNotWaitTheForegroundRefreshAsksNoBrowser) {
    platform().facts.summonWaitsForFrontmostBrowser = false;
    auto& cache = BrowserTabCache::shared();
    fake.setFrontmost(chromeApp);
    cache.refreshForegroundBrowserNow();
    EXPECT_EQ(listingsRun(), 0u) << "the summon's thread never waits for the browser";
    EXPECT_TRUE(titles().empty());

    cache.refreshAsync("com.google.Chrome");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Inbox", "News"})) << "read right after instead";
}

TEST_F(BrowserTabCacheTest, ABrowserThatNeverAnswersDoesNotHoldTheRefreshForever) {
    auto& cache = BrowserTabCache::shared();
    chrome->stopAnswering(fake.clock);
    bool done = false;
    cache.refreshAsync(std::nullopt, [&] { done = true; });
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(done);
    EXPECT_FALSE(cache.isRefreshing());
    EXPECT_EQ(titles(), std::vector<std::string>{"Apple"});

    // The next request starts a new enumeration instead of joining a stuck one.
    auto before = listingsRun();
    cache.refreshAsync("com.apple.Safari");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(listingsRun(), before + 1);
}

TEST_F(BrowserTabCacheTest, ARefreshForADroppedCacheStoresNothingAndCallsNoOne) {
    bool called = false;
    BrowserTabCache::shared().refreshAsync(std::nullopt, [&] { called = true; });
    BrowserTabCache::resetShared();
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(called);
    EXPECT_TRUE(titles().empty());
}

}  // namespace
}  // namespace vantlo
