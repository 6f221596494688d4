#include <gtest/gtest.h>

#include <vector>

#include "discovery/DesktopController.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

TEST(DesktopController, HidesOthersMinimisesFileManagerWindowsAndSparesItself) {
    FakePlatform fake;
    auto& self = fake.addApp({.bundleID = "com.local.vantlo", .name = "Vantlo"});
    auto& finder = fake.addApp({.bundleID = "com.apple.finder", .name = "Finder"});
    auto& documents = fake.addWindow(finder, "Documents");
    auto& downloads = fake.addWindow(finder, "Downloads");
    auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
    fake.addApp({.bundleID = "com.example.tray", .policy = ActivationPolicy::accessory});
    fake.addApp({.name = "No identifier"});

    DesktopController::showDesktop();

    EXPECT_EQ(fake.effects->hidden, (std::vector<Pid>{editor.pid}));
    EXPECT_TRUE(documents.minimized && downloads.minimized);
    EXPECT_FALSE(finder.hidden) << "the desktop stays usable";
    EXPECT_FALSE(self.hidden);
}

TEST(DesktopController, HidesTheFileManagerWhenItsWindowsCannotBeRead) {
    FakePlatform fake;
    auto& finder =
        fake.addApp({.bundleID = "com.apple.finder", .axError = AXError::cannotComplete});
    DesktopController::showDesktop();
    EXPECT_EQ(fake.effects->hidden, (std::vector<Pid>{finder.pid}));
}

TEST(DesktopController, TreatsEveryLinuxFileManagerAsTheFileManager) {
    FakePlatform fake(FakePlatform::Facts::linux);
    auto& thunar = fake.addApp({.bundleID = "thunar", .name = "Thunar"});
    auto& home = fake.addWindow(thunar, "tester");
    auto& gedit = fake.addApp({.bundleID = "org.gnome.gedit"});
    DesktopController::showDesktop();
    EXPECT_TRUE(home.minimized);
    EXPECT_EQ(fake.effects->hidden, (std::vector<Pid>{gedit.pid}));
}

}  // namespace
}  // namespace vantlo
