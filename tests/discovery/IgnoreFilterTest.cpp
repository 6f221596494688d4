#include <gtest/gtest.h>

#include <algorithm>

#include "discovery/IgnoreFilter.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

TEST(IgnoreFilter, DefaultsHideSystemPartsUntilTheUserSavesAList) {
    FakePlatform fake;
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreApp("com.apple.dock", "Dock"));
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreApp("com.apple.notificationcenterui", "Notifications"));
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreWindow("com.apple.controlcenter", "Control Center", ""));
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreApp("com.apple.Safari", "Safari"));

    auto list = IgnoreFilter::ignoredAppBundleIDs();
    std::erase(list, "com.apple.dock");
    IgnoreFilter::setIgnoredAppBundleIDs(list);
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreWindow("com.apple.dock", "Dock", "Dock"));
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreApp("com.apple.WindowManager", "Window Manager"));

    fake.defaults->set(IgnoreFilter::kAppBundleIDsKey, PropertyValue("com.apple.Safari"));
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreApp("com.apple.dock", "Dock"))
        << "a stored value that is not a list of strings counts as absent";
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreApp(std::nullopt, "Dock"));
}

TEST(IgnoreFilter, LinuxDefaultsComeFromThePlatformFacts) {
    FakePlatform fake(FakePlatform::Facts::linux);
    EXPECT_EQ(IgnoreFilter::ignoredAppBundleIDs(), fake.services().facts.defaultIgnoredBundleIDs);
}

TEST(IgnoreFilter, AppPatternsAreCaseInsensitiveAndUnanchored) {
    FakePlatform fake;
    IgnoreFilter::setIgnoredAppRegex({"chrome"});
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreApp("com.google.Chrome", "Google Chrome"));
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreWindow("com.google.Chrome", "Google Chrome", ""));
    IgnoreFilter::setIgnoredAppRegex({"^chrome$"});
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreApp("com.google.Chrome", "Google Chrome"))
        << "anchors are the user's to write";
    IgnoreFilter::setIgnoredAppRegex({"\\p{Han}"});
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreApp(std::nullopt, "\xE5\xBE\xAE\xE4\xBF\xA1"))
        << "ICU syntax";
}

TEST(IgnoreFilter, InvalidAndEmptyPatternsHideNothing) {
    FakePlatform fake;
    IgnoreFilter::setIgnoredAppRegex({"(", "", "[z-a]"});
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreApp(std::nullopt, "Terminal"));
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreApp(std::nullopt, ""));
    IgnoreFilter::setIgnoredAppRegex({"(", "term"});
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreApp(std::nullopt, "Terminal"))
        << "a bad pattern does not stop the next one";
}

TEST(IgnoreFilter, WindowPatternsNeverHideUntitledWindows) {
    FakePlatform fake;
    IgnoreFilter::setIgnoredWindowRegex({".*"});
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreWindow("org.example.Editor", "Editor", "notes.txt"));
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreWindow("org.example.Editor", "Editor", ""));
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreApp("org.example.Editor", "Editor"))
        << "window patterns do not hide applications";
}

TEST(IgnoreFilter, SettersStoreTheListAndAnnounceIt) {
    FakePlatform fake;
    int posts = 0;
    auto observer = fake.notifications->addObserver(IgnoreFilter::kChangedNotification,
                                                    [&](const Notification&) { ++posts; });
    IgnoreFilter::setIgnoredWindowRegex({"^Picture-in-Picture$"});
    IgnoreFilter::setIgnoredWindowRegex({"^Picture-in-Picture$"});
    IgnoreFilter::setIgnoredAppRegex({});
    IgnoreFilter::setIgnoredAppBundleIDs({"org.example.Tray"});
    EXPECT_EQ(posts, 4) << "posted even when nothing changed";
    EXPECT_EQ(IgnoreFilter::ignoredWindowRegex(), std::vector<std::string>{"^Picture-in-Picture$"});
    EXPECT_EQ(fake.defaults->stringArray(IgnoreFilter::kAppBundleIDsKey),
              std::vector<std::string>{"org.example.Tray"});
}

TEST(IgnoreFilter, APatternThatRunsAwayIsSetAsideUntilItsListIsSavedAgain) {
    FakePlatform fake;
    // Matches "x" at once, but backtracks without end on a long run of a's with no b after it:
    // without setting it aside, every such window title would cost the whole time limit.
    const std::vector<std::string> patterns = {"^(a+)+b|^x$", "mail"};
    IgnoreFilter::setIgnoredWindowRegex(patterns);
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreWindow(std::nullopt, "Editor", "x"));
    const std::string runaway = std::string(40, 'a') + "c";
    for (int window = 0; window < 3; ++window)
        EXPECT_FALSE(IgnoreFilter::shouldIgnoreWindow(std::nullopt, "Editor", runaway));
    EXPECT_FALSE(IgnoreFilter::shouldIgnoreWindow(std::nullopt, "Editor", "x"))
        << "set aside once it ran out of time";
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreWindow(std::nullopt, "Mail", "Inbox - mail"))
        << "the other patterns still count";
    auto lines = fake.log->lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.find("takes too long") != std::string::npos;
                            }),
              1);

    IgnoreFilter::setIgnoredWindowRegex(patterns);
    EXPECT_TRUE(IgnoreFilter::shouldIgnoreWindow(std::nullopt, "Editor", "x"))
        << "saving the list gives it another chance";
}

}  // namespace
}  // namespace vantlo
