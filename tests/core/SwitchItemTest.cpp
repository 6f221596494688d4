#include <gtest/gtest.h>

#include <unordered_set>

#include "model/SwitchItem.h"
#include "settings/Localization.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

WindowItem window(std::string app, std::optional<std::string> bundle, std::string title) {
    WindowItem w;
    w.id = Uuid::random();
    w.pid = 42;
    w.appName = std::move(app);
    w.appBundleID = std::move(bundle);
    w.title = std::move(title);
    return w;
}

TabItem tab(std::string title, std::string url, std::int64_t window, std::int64_t index) {
    TabItem t;
    t.id = Uuid::random();
    t.browserBundleID = "com.google.Chrome";
    t.browserAppName = "Google Chrome";
    t.title = std::move(title);
    t.url = std::move(url);
    t.windowIndex = window;
    t.tabIndex = index;
    return t;
}

TEST(SwitchItem, WindowKeyAndTextsFallBackForMissingTitleAndBundle) {
    SwitchItem untitled(window("Terminal", "org.example.Terminal", ""));
    EXPECT_EQ(untitled.mruKey(), "org.example.Terminal::");
    EXPECT_EQ(untitled.title(), "Terminal");
    EXPECT_EQ(untitled.subtitle(), "Terminal");
    EXPECT_EQ(untitled.bundleID(), "org.example.Terminal");

    SwitchItem unbundled(window("Scratch", std::nullopt, "notes.txt"));
    EXPECT_EQ(unbundled.mruKey(), "Scratch::notes.txt");
    EXPECT_EQ(unbundled.title(), "notes.txt");
    EXPECT_EQ(unbundled.bundleID(), std::nullopt);
    EXPECT_EQ(unbundled.groupCount(), std::nullopt);
    EXPECT_EQ(unbundled.matchFields(),
              (std::vector<MatchField>{{"Scratch", 1.0}, {"notes.txt", 1.0}}));
}

TEST(SwitchItem, EqualityIsKindAndIdWhileKeysSurviveEnumerations) {
    WindowItem first = window("Editor", "org.example.Editor", "main.cpp");
    WindowItem again = first;
    again.id = Uuid::random();
    EXPECT_NE(SwitchItem(first), SwitchItem(again));
    EXPECT_EQ(SwitchItem(first).mruKey(), SwitchItem(again).mruKey());

    WindowItem renamed = first;
    renamed.title = "other.cpp";
    EXPECT_EQ(SwitchItem(first), SwitchItem(renamed)) << "only the id takes part";

    AppItem app;
    app.id = first.id;  // same id, other kind
    EXPECT_NE(SwitchItem(first), SwitchItem(app));
    std::unordered_set<SwitchItem> set{SwitchItem(first), SwitchItem(renamed), SwitchItem(app)};
    EXPECT_EQ(set.size(), 2u);
}

TEST(SwitchItem, TabKeysUseBrowserIdElseTitle) {
    TabItem byTitle = tab("Docs", "https://example.org/", 1, 3);
    EXPECT_EQ(byTitle.mruKey(), "tab::com.google.Chrome::Docs::1::3");
    TabItem sameTitle = tab("Docs", "https://other.org/", 1, 3);
    EXPECT_EQ(byTitle.mruKey(), sameTitle.mruKey());

    TabItem byId = byTitle;
    byId.chromeTabID = 1234;
    EXPECT_EQ(SwitchItem(byId).mruKey(), "tab::com.google.Chrome::1234::1::3");
}

TEST(SwitchItem, TabTextsShowHostOnlyWhenTheAddressHasOne) {
    struct Case {
        std::string url;
        std::string subtitle;
    };
    const std::vector<Case> cases = {
        {"https://www.example.com:8080/path?q=1#top", "Google Chrome · www.example.com"},
        {"http://user@[::1]:80/", "Google Chrome · ::1"},
        {"chrome://settings/", "Google Chrome · settings"},
        {"about:blank", "Google Chrome"},
        {"file:///home/me/a.html", "Google Chrome"},
        {"not a url", "Google Chrome"},
        {"", "Google Chrome"},
    };
    for (const auto& c : cases) {
        SwitchItem item(tab("T", c.url, 1, 1));
        EXPECT_EQ(item.subtitle(), c.subtitle) << "url " << c.url;
    }
    SwitchItem untitled(tab("", "https://example.com/", 1, 1));
    EXPECT_EQ(untitled.title(), "https://example.com/");
}

TEST(SwitchItem, TabMatchFieldsDropOneKnownAddressPrefix) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"https://www.example.com/", "example.com/"},
        {"http://www.example.com/", "example.com/"},
        {"https://example.com/", "example.com/"},
        {"http://example.com/", "example.com/"},
        {"chrome://newtab/", "newtab/"},
        {"edge://flags", "flags"},
        {"brave://wallet", "wallet"},
        {"arc://x", "x"},
        {"about:blank", "blank"},
        {"HTTPS://www.example.com/", "HTTPS://www.example.com/"},
        {"ftp://example.com/https://", "ftp://example.com/https://"},
        {"https://https://x", "https://x"},
    };
    for (const auto& [url, cleaned] : cases) {
        auto fields = SwitchItem(tab("Title", url, 1, 1)).matchFields();
        ASSERT_EQ(fields.size(), 2u);
        EXPECT_EQ(fields[0], (MatchField{"Title", 1.0}));
        EXPECT_EQ(fields[1], (MatchField{cleaned, 0.6})) << "url " << url;
    }
}

TEST(SwitchItem, TabGroupWithoutActiveTabUsesItsFirstTab) {
    FakePlatform fake;
    TabGroupItem group;
    group.id = Uuid::random();
    group.browserBundleID = "com.google.Chrome";
    group.appName = "Google Chrome";
    group.tabs = {tab("One", "https://one.example/", 1, 1),
                  tab("Two", "https://two.example/", 1, 2)};
    EXPECT_EQ(group.activeTab().id, group.tabs[0].id);
    EXPECT_EQ(SwitchItem(group).mruKey(), group.tabs[0].mruKey());

    group.tabs[1].isActiveInFrontWindow = true;
    EXPECT_EQ(group.activeTab().id, group.tabs[1].id);
    SwitchItem item(group);
    EXPECT_EQ(item.mruKey(), "tab::com.google.Chrome::Two::1::2");
    EXPECT_EQ(item.title(), "Google Chrome");
    EXPECT_EQ(item.subtitle(), "2 open tabs");
    EXPECT_EQ(item.groupCount(), 2);
    EXPECT_EQ(item.matchFields(),
              (std::vector<MatchField>{{"Google Chrome", 1.0}, {"chrome tabs", 0.8}}));
}

TEST(SwitchItem, WindowGroupAndAppTexts) {
    FakePlatform fake;
    WindowGroupItem group;
    group.id = Uuid::random();
    group.appBundleID = "com.apple.finder";
    group.appName = "Finder";
    group.windows = {window("Finder", "com.apple.finder", "Home")};
    SwitchItem groupItem(group);
    EXPECT_EQ(groupItem.mruKey(), "windowGroup::com.apple.finder");
    EXPECT_EQ(groupItem.subtitle(), "1 open windows");
    EXPECT_EQ(groupItem.groupCount(), 1);

    AppItem app;
    app.id = Uuid::random();
    app.bundleID = "org.example.Mail";
    app.name = "Mail";
    app.path = "/usr/share/applications/org.example.Mail.desktop";
    SwitchItem appItem(app);
    EXPECT_EQ(appItem.mruKey(), "app::org.example.Mail");
    EXPECT_EQ(appItem.title(), "Mail");
    EXPECT_EQ(appItem.subtitle(), "/usr/share/applications");
    EXPECT_EQ(appItem.matchFields(), (std::vector<MatchField>{{"Mail", 0.95}}));
}

TEST(SwitchItem, GroupCountTextsFollowTheLanguage) {
    FakePlatform fake;
    Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
    Localization::resetShared();
    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);
    WindowGroupItem group;
    group.id = Uuid::random();
    group.appBundleID = "com.apple.finder";
    group.appName = "Finder";
    group.windows = {window("Finder", "com.apple.finder", "Home")};
    SwitchItem item(group);
    EXPECT_EQ(item.subtitle(), "1 \xE4\xB8\xAA\xE7\xAA\x97\xE5\x8F\xA3");  // 1 个窗口
    EXPECT_EQ(item.mruKey(), "windowGroup::com.apple.finder") << "keys are never translated";
    Localization::resetShared();
    Localization::setResourcesPath("");
}

}  // namespace
}  // namespace vantlo
