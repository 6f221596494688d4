#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/AXWindowInspector.h"
#include "discovery/WindowEnumerator.h"
#include "settings/Localization.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

TEST(WindowEnumerator, ListsRegularApplicationsWindowsWithFallbacks) {
    FakePlatform fake;
    fake.defaults->set(Localization::languageKey, "english");
    Localization::resetShared();
    auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
    auto& notes = fake.addWindow(editor, "Notes.txt");
    auto& todo = fake.addWindow(editor, {.title = "Todo.txt", .minimized = true});
    auto& tool = fake.addApp({.name = "Tray", .policy = ActivationPolicy::accessory});
    fake.addWindow(tool, "Tray popup");
    auto& denying =
        fake.addApp({.bundleID = "com.example.locked", .axError = AXError::cannotComplete});
    fake.addWindow(denying, "Secret");
    auto& anonymous = fake.addApp({});
    auto& untitled = fake.addWindow(anonymous, FakeWindow{.hidesNumber = true});
    fake.addWindow(anonymous, {.attributes = {{AX::title, true}}});

    auto windows = WindowEnumerator::enumerate();

    ASSERT_EQ(windows.size(), 4u);
    EXPECT_EQ(windows[0].title, "Todo.txt") << "front window first, minimised ones included";
    EXPECT_EQ(windows[0].cgWindowID, todo.number);
    EXPECT_EQ(windows[1].title, "Notes.txt");
    EXPECT_EQ(windows[1].axWindow, fake.element(notes));
    EXPECT_EQ(windows[1].appBundleID, "com.example.editor");
    EXPECT_EQ(windows[1].pid, editor.pid);
    EXPECT_EQ(windows[2].title, "") << "a title that is not text reads as empty";
    EXPECT_EQ(windows[3].title, "");
    EXPECT_EQ(windows[3].appName, "Unknown");
    EXPECT_FALSE(windows[3].appBundleID.has_value());
    EXPECT_FALSE(windows[3].cgWindowID.has_value()) << "window " << untitled.number;
    EXPECT_NE(windows[0].id, windows[1].id);
    EXPECT_NE(WindowEnumerator::enumerate()[0].id, windows[0].id) << "fresh ids per enumeration";

    fake.accessibility->setTrusted(false);
    EXPECT_TRUE(WindowEnumerator::enumerate().empty());
    Localization::resetShared();
}

TEST(WindowEnumerator, ActivateUnminimisesThenFocusesAndRaises) {
    FakePlatform fake;
    auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
    auto& notes = fake.addWindow(editor, {.title = "Notes", .minimized = true});
    fake.addWindow(editor, "Other");
    auto item = WindowEnumerator::enumerate()[1];
    fake.effects->journal.clear();

    WindowEnumerator::activate(item);

    auto n = std::to_string(notes.number);
    auto p = std::to_string(editor.pid);
    EXPECT_EQ(
        fake.effects->journal,
        (std::vector<std::string>{"activate " + p + " options 1", "set AXMinimized of window " + n,
                                  "set AXMain of window " + n, "set AXFocused of window " + n,
                                  "AXRaise window " + n}));
    EXPECT_FALSE(notes.minimized);
    EXPECT_EQ(fake.desktop->stackingOrder().front(), &notes);
    fake.dispatch->advance(1);
    EXPECT_EQ(fake.effects->raised.size(), 1u) << "no second pass for ordinary applications";
}

TEST(WindowEnumerator, FileManagerWindowGetsASecondRaiseShortlyAfter) {
    FakePlatform fake;
    auto& finder = fake.addApp({.bundleID = "com.apple.finder", .name = "Finder"});
    fake.addWindow(finder, "Documents");
    auto item = WindowEnumerator::enumerate()[0];

    WindowEnumerator::activate(item);
    fake.dispatch->advance(0.04);
    EXPECT_EQ(fake.effects->raised.size(), 1u);
    fake.dispatch->advance(0.02);
    EXPECT_EQ(fake.effects->raised.size(), 2u);
    EXPECT_EQ(fake.effects->activations.size(), 2u);
}

TEST(WindowEnumerator, FileManagerWindowOfAGoneProcessOpensAHomeWindow) {
    FakePlatform fake;
    const auto& facts = fake.facts();
    fake.addInstalledApp(facts.fileManagerAppPath, facts.fileManagerBundleID, "Finder");
    auto& finder = fake.launchInstalledApp(facts.fileManagerAppPath);
    fake.addWindow(finder, "Documents");
    auto item = WindowEnumerator::enumerate()[0];
    fake.quitApp(finder);

    WindowEnumerator::activate(item);
    fake.dispatch->runUntilIdle();

    EXPECT_TRUE(fake.effects->raised.empty());
    EXPECT_EQ(fake.effects->openedApps,
              (std::vector<OpenAppRecord>{{facts.fileManagerAppPath, true}}));
    EXPECT_EQ(fake.effects->openedURLs, (std::vector<std::string>{"/Users/tester"}));
    ASSERT_FALSE(fake.effects->activations.empty());
    EXPECT_NE(fake.effects->activations.back().pid, finder.pid) << "the relaunched file manager";
}

TEST(AXWindowInspector, CloseButtonOnlyWhenPresentAndNotDisabled) {
    FakePlatform fake;
    using CB = FakeWindow::CloseButton;
    auto& editor = fake.addApp({.name = "Editor"});
    struct Case {
        const char* name;
        FakeWindow window;
        bool closable;
    };
    std::vector<Case> cases = {
        {"enabled", {.closeButton = CB::enabled}, true},
        {"disabled", {.closeButton = CB::disabled}, false},
        {"no AXEnabled", {.closeButton = CB::missingEnabled}, true},
        {"no button", {.closeButton = CB::none}, false},
        {"not an element", {.attributes = {{AX::closeButton, std::string("x")}}}, false},
    };
    for (auto& c : cases) {
        auto& window = fake.addWindow(editor, c.window);
        EXPECT_EQ(AXWindowInspector::closeButton(fake.element(window)) != nullptr, c.closable)
            << c.name;
    }
}

}  // namespace
}  // namespace vantlo
