#include "ControllerTestBase.h"
#include "discovery/IgnoreFilter.h"
#include "settings/PanelSettings.h"
#include "switcher/SwitchListBuilder.h"

namespace vantlo {
namespace {

class SwitchListBuilder_ : public ControllerTestBase {
  protected:
    std::vector<SwitchItem> build(std::set<std::string> recentlyClosed = {}) {
        AppRegistry::shared();
        fake.dispatch->runUntilIdle();  // the registry's first scan
        WindowEnumeratorCache::shared().refreshSync();
        SwitchListBuilder builder(
            [recentlyClosed](const std::string& id) { return recentlyClosed.count(id) > 0; });
        return builder.build();
    }

    static std::vector<SwitchItem::Kind> kinds(const std::vector<SwitchItem>& items) {
        std::vector<SwitchItem::Kind> out;
        for (const auto& item : items)
            out.push_back(item.kind());
        return out;
    }
};

TEST_F(SwitchListBuilder_, FileManagerWindowsFoldIntoOneGroup) {
    auto& finder = fake.addApp({.bundleID = "com.apple.finder",
                                .name = "Finder",
                                .bundlePath = "/System/Library/CoreServices/Finder.app"});
    fake.addWindow(finder, "Documents");
    fake.addWindow(finder, "Downloads");
    appWithWindows("Safari", "com.apple.Safari", {"Start Page"});
    auto items = build();
    using K = SwitchItem::Kind;
    EXPECT_EQ(kinds(items), (std::vector<K>{K::window, K::windowGroup}));
    ASSERT_NE(items[1].windowGroup(), nullptr);
    EXPECT_EQ(items[1].windowGroup()->windows.size(), 2u);
    EXPECT_EQ(items[1].title(), "Finder");
}

TEST_F(SwitchListBuilder_, IgnoreRulesDropWindowsAndApplications) {
    appWithWindows("Editor", "com.example.editor", {"Notes", "Secret plans", ""});
    appWithWindows("Chrome Helper", "com.example.helper", {"Worker"});
    IgnoreFilter::setIgnoredWindowRegex({"secret", "(", "", ".*plans"});
    IgnoreFilter::setIgnoredAppRegex({"helper"});
    auto items = build();
    EXPECT_EQ(titles(items), (std::vector<std::string>{"Editor", "Notes"}))
        << "front to back; the untitled window stays (shown with the application name); an invalid "
           "pattern "
           "drops nothing and does not stop the others";
}

TEST_F(SwitchListBuilder_, RunningAppsWithoutRowsAndRecentlyClosedOnes) {
    fake.addInstalledApp("/Applications/Player.app", "com.example.player", "Player");
    fake.addInstalledApp("/Applications/Notes.app", "com.example.notes", "Notes");
    fake.launchInstalledApp("/Applications/Player.app");
    appWithWindows("Mail", "com.example.mail", {"Inbox"});
    EXPECT_EQ(titles(build()), (std::vector<std::string>{"Inbox", "Player", "Notes"}))
        << "running app without a window, then installed apps with the setting on";
    EXPECT_EQ(titles(build({"com.example.player"})), (std::vector<std::string>{"Inbox", "Notes"}))
        << "an app quit from the panel is listed neither as running nor as installed";
    PanelSettings::setShowAppsWithoutWindows(false);
    EXPECT_EQ(titles(build()), (std::vector<std::string>{"Inbox", "Player"}));
}

TEST_F(SwitchListBuilder_, RecencyOrdersAndTiesKeepBuildOrder) {
    appWithWindows("Editor", "com.example.editor", {"A", "B"});
    appWithWindows("Mail", "com.example.mail", {"Inbox"});
    auto before = titles(build());
    useInOrder({"com.example.mail::Inbox"});
    auto after = titles(build());
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(after.front(), "Inbox");
    before.erase(std::find(before.begin(), before.end(), "Inbox"));
    EXPECT_EQ(std::vector<std::string>(after.begin() + 1, after.end()), before)
        << "never-used items keep their order after the remembered ones";
}

}  // namespace
}  // namespace vantlo
