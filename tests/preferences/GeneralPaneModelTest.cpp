#include "input/HotkeyStore.h"
#include "preferences/GeneralPaneModel.h"
#include "preferences/PreferencesTestBase.h"
#include "settings/PanelSettings.h"

namespace vantlo {
namespace {

using GeneralPaneModelTest = PreferencesTest;

TEST_F(GeneralPaneModelTest, LaunchAtLoginFollowsTheSystemAndSpringsBackOnFailure) {
    int redraws = 0;
    GeneralPaneModel pane({}, [&] { ++redraws; });
    EXPECT_FALSE(pane.launchAtLogin());
    EXPECT_EQ(pane.launchAtLoginDetail(), "Start Vantlo automatically when you sign in.");

    fake_.loginItems->failNext("cannot write ~/.config/autostart/com.local.vantlo.desktop");
    pane.setLaunchAtLogin(true);
    EXPECT_FALSE(pane.launchAtLogin()) << "the switch springs back";
    EXPECT_EQ(pane.launchAtLoginDetail(),
              "Could not update the login item: cannot write "
              "~/.config/autostart/com.local.vantlo.desktop");
    EXPECT_EQ(redraws, 1);

    pane.setLaunchAtLogin(true);
    EXPECT_TRUE(pane.launchAtLogin());
    EXPECT_FALSE(pane.launchAtLoginError()) << "a success clears the error";
    int requests = fake_.loginItems->requestCount();
    pane.setLaunchAtLogin(true);
    EXPECT_EQ(fake_.loginItems->requestCount(), requests) << "already on: nothing to ask";
    pane.setLaunchAtLogin(false);
    EXPECT_FALSE(pane.launchAtLogin());
    EXPECT_EQ(fake_.loginItems->status(), LoginItemStatus::notRegistered);
}

TEST_F(GeneralPaneModelTest, TheSwitchStartsAtTheRegisteredState) {
    fake_.loginItems->setStatus(LoginItemStatus::enabled);
    EXPECT_TRUE(GeneralPaneModel({}).launchAtLogin());
}

TEST_F(GeneralPaneModelTest, ResetRestoresTheDefaultHotKeyAndSaysItWithTheKeyLabels) {
    int announcements = 0;
    Subscription observer = fake_.notifications->addObserver(
        HotkeyStore::changedNotification, [&](const Notification&) { ++announcements; });
    GeneralPaneModel pane({});
    EXPECT_EQ(GeneralPaneModel::resetTitle(),
              "Reset to " + HotkeyConfig::defaultActivation().displayString());
    pane.resetHotkey();
    EXPECT_EQ(announcements, 0) << "already the default: nothing changes";
    pane.setHotkey({40, CarbonModifiers::control | CarbonModifiers::option});
    pane.resetHotkey();
    EXPECT_EQ(HotkeyStore::current(), HotkeyConfig::defaultActivation());
    EXPECT_EQ(announcements, 2);
}

TEST_F(GeneralPaneModelTest, EdgeDisplayAndLanguageAreStoredAtOnce) {
    GeneralPaneModel pane({});
    pane.setEdge(PanelEdge::left);
    pane.setDisplay(PanelDisplay::main);
    EXPECT_EQ(PanelSettings::edge(), PanelEdge::left);
    EXPECT_EQ(PanelSettings::display(), PanelDisplay::main);
    int languageChanges = 0;
    Subscription observer = fake_.notifications->addObserver(
        Localization::languageChangedNotification, [&](const Notification&) { ++languageChanges; });
    pane.setLanguage(AppLanguage::simplifiedChinese);
    EXPECT_EQ(pane.language(), AppLanguage::simplifiedChinese);
    EXPECT_EQ(languageChanges, 1);
    EXPECT_EQ(localized("Launch at login"), "登录时启动");
}

TEST_F(GeneralPaneModelTest, ThePermissionRowSaysWhatTheSessionLacks) {
    GeneralPaneModel x11({});
    fake_.accessibility->setTrusted(true);
    EXPECT_EQ(x11.permission().state, PermissionState::ready);
    fake_.accessibility->setTrusted(false);
    auto missing = x11.permission();
    EXPECT_EQ(missing.state, PermissionState::needsAction);
    EXPECT_NE(missing.detail.find("EWMH"), std::string::npos) << missing.detail;

    GeneralPaneModel wayland({.wayland = true});
    auto row = wayland.permission();
    EXPECT_EQ(row.state, PermissionState::needsAction);
    EXPECT_NE(row.detail.find("Wayland session"), std::string::npos) << row.detail;
}

}  // namespace
}  // namespace vantlo
