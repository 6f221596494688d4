#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <string>
#include <vector>

#include "discovery/AppEnumerator.h"
#include "discovery/AppRegistry.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

std::vector<std::string> namesOf(const std::vector<AppItem>& apps) {
    std::vector<std::string> names;
    for (const auto& app : apps)
        names.push_back(app.name);
    return names;
}

BundleInfo bundle(const std::string& path, std::optional<std::string> id, PropertyDictionary info) {
    return BundleInfo{path, std::move(id), std::move(info)};
}

TEST(AppEnumerator, ScanKeepsTheFirstOfEachIdentifierSortedByNameIgnoringCase) {
    FakePlatform fake;
    fake.addInstalledApp("/Applications/Editor.app", "com.example.editor", "Editor");
    fake.addInstalledApp("/System/Applications/Editor Old.app", "com.example.editor", "Old");
    fake.addInstalledApp("/Applications/Safari.app", "com.apple.Safari", "Safari");
    fake.addInstalledApp("/Applications/a.app", "com.example.a", "safari");
    fake.addInstalledApp("/Applications/Games/Chess.app", "com.example.chess", "Chess");
    fake.addInstalledApp("/System/Library/CoreServices/Finder.app", "com.apple.finder", "Finder");
    fake.addInstalledApp(bundle("/Applications/Zed.app", "com.example.zed",
                                {{BundleKeys::displayName, 3}, {BundleKeys::name, "Zed"}}));
    fake.addInstalledApp(bundle("/Applications/Bare.app", "com.example.bare", {}));
    fake.addInstalledApp(bundle("/Applications/NoID.app", std::nullopt, {{BundleKeys::name, "X"}}));
    fake.addInstalledApp("/Applications/.Hidden.app", "com.example.hidden", "Hidden");

    auto apps = AppEnumerator::scan();

    EXPECT_EQ(namesOf(apps), (std::vector<std::string>{"Bare", "Chess", "Editor", "Finder",
                                                       "Safari", "safari", "Zed"}))
        << "Safari.app is met before a.app, and equal names keep that order";
    EXPECT_EQ(apps[2].path, "/Applications/Editor.app") << "the first root wins a duplicate";
    EXPECT_EQ(apps[2].icon, fake.workspace->iconForFile("/Applications/Editor.app"));
}

TEST(AppEnumerator, SortFollowsTheLanguageNotTheBytes) {
    FakePlatform fake;
    icu::Locale previous = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("fr_FR"), status);
    std::vector<AppItem> apps;
    for (const char* name : {"Zoom", "éclair", "apple", "Eclipse", "Écran"})
        apps.push_back(AppItem{Uuid::random(), "id", name, nullptr, "/Applications/x.app"});
    AppEnumerator::sortByName(apps);
    EXPECT_EQ(namesOf(apps),
              (std::vector<std::string>{"apple", "éclair", "Eclipse", "Écran", "Zoom"}));
    icu::Locale::setDefault(previous, status);
}

TEST(AppEnumerator, UserLaunchableOnlyDirectlyInARootOrAnExtraBundle) {
    FakePlatform fake;
    struct Case {
        const char* path;
        bool launchable;
    };
    for (auto c : std::vector<Case>{
             {"/Applications/Editor.app", true},
             {"/Applications/Editor.app/", true},
             {"/Applications/../Applications/./Editor.app", true},
             {"/Applications/Games/Chess.app", false},
             {"/Applications/Utilities/Terminal.app", true},
             {"/System/Applications/Utilities/Activity Monitor.app", true},
             {"/Users/tester/Applications/Mine.app", true},
             {"/System/Library/CoreServices/Finder.app", true},
             {"/System/Library/CoreServices/Dock.app", false},
             {"/Volumes/Installer/Editor.app", false},
             {"/Applications/Editor", false},
             {"/Applications/notes.txt", false},
         }) {
        EXPECT_EQ(AppEnumerator::isUserLaunchableAppURL(c.path), c.launchable) << c.path;
    }
}

TEST(AppEnumerator, LinuxScansDesktopEntriesWithTheUserFolderFirst) {
    FakePlatform fake(FakePlatform::Facts::linux);
    fake.addInstalledApp("/usr/share/applications/org.gnome.gedit.desktop", "org.gnome.gedit",
                         "Text Editor");
    fake.addInstalledApp("/home/tester/.local/share/applications/org.gnome.gedit.desktop",
                         "org.gnome.gedit", "My Editor");
    fake.addInstalledApp("/usr/share/applications/kde4/kate.desktop", "kde4-kate", "Kate");
    fake.files->addFile("/usr/share/applications/mimeinfo.cache");

    auto apps = AppEnumerator::scan();

    EXPECT_EQ(namesOf(apps), (std::vector<std::string>{"Kate", "My Editor"}));
    EXPECT_TRUE(
        AppEnumerator::isUserLaunchableAppURL("/usr/share/applications/org.gnome.gedit.desktop"));
    EXPECT_FALSE(
        AppEnumerator::isUserLaunchableAppURL("/usr/share/applications/kde4/kate.desktop"));
    EXPECT_FALSE(AppEnumerator::isUserLaunchableAppURL("/usr/share/applications/Editor.app"));
}

class AppRegistryTest : public ::testing::Test {
  protected:
    AppRegistryTest() { AppRegistry::resetShared(); }
    ~AppRegistryTest() override { AppRegistry::resetShared(); }

    FakePlatform fake;
};

TEST_F(AppRegistryTest, EmptyUntilTheFirstBackgroundScanEnds) {
    fake.addInstalledApp("/Applications/Editor.app", "com.example.editor", "Editor");
    auto& registry = AppRegistry::shared();
    EXPECT_TRUE(registry.apps().empty());
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(namesOf(registry.apps()), (std::vector<std::string>{"Editor"}));
}

TEST_F(AppRegistryTest, WatchesTheExistingRootsAndRescansOnceAfterABurst) {
    fake.files->addDirectory("/Applications");
    fake.files->addDirectory("/System/Applications");
    auto& registry = AppRegistry::shared();
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.files->watchedFolders(),
              (std::vector<std::string>{"/Applications", "/System/Applications"}));

    fake.addInstalledApp("/Applications/Editor.app", "com.example.editor", "Editor");
    fake.files->emitChange("/Applications");
    fake.dispatch->advance(0.5);
    fake.files->emitChange("/Applications");
    fake.dispatch->advance(0.99);
    EXPECT_TRUE(registry.apps().empty()) << "the debounce restarts at every event";
    fake.dispatch->advance(0.01);
    EXPECT_EQ(namesOf(registry.apps()), (std::vector<std::string>{"Editor"}));
}

}  // namespace
}  // namespace vantlo
