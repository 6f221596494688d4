#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

std::vector<AXElementRef> windowsOf(FakePlatform& fake, const FakeApp& app) {
    auto result = fake.accessibility->copyAttribute(fake.accessibility->applicationElement(app.pid),
                                                    AX::windows);
    return result.asElements().value_or(std::vector<AXElementRef>{});
}

TEST(FakeDesktop, WindowsListFrontToBackAndRaiseReorders) {
    FakePlatform fake;
    auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
    auto& notes = fake.addWindow(editor, "Notes.txt");
    auto& todo = fake.addWindow(editor, "Todo.txt");
    auto& ax = *fake.accessibility;

    auto before = windowsOf(fake, editor);
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[0], fake.element(todo)) << "the newest window opens in front";
    EXPECT_EQ(ax.copyAttribute(before[1], AX::title).asString(), "Notes.txt");

    EXPECT_EQ(ax.performAction(fake.element(notes), AX::raiseAction), AXError::success);
    EXPECT_EQ(windowsOf(fake, editor).front(), fake.element(notes));
    EXPECT_EQ(fake.effects->raised, (std::vector<std::uint32_t>{notes.number}));
    EXPECT_EQ(ax.windowNumber(fake.element(notes)), notes.number);
}

TEST(FakeDesktop, AccessibilityFailuresAreReproduced) {
    FakePlatform fake;
    auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
    auto& notes = fake.addWindow(editor, {.title = "Notes", .unsupportedAttributes = {AX::title}});
    auto& ax = *fake.accessibility;
    auto window = fake.element(notes);

    EXPECT_EQ(ax.copyAttribute(window, AX::title).error, AXError::attributeUnsupported);
    EXPECT_EQ(ax.copyAttribute(window, "AXNoSuchThing").error, AXError::attributeUnsupported);

    editor.axError = AXError::cannotComplete;
    EXPECT_EQ(ax.copyAttribute(window, AX::minimized).error, AXError::cannotComplete);
    EXPECT_FALSE(ax.copyAttribute(ax.applicationElement(editor.pid), AX::windows).succeeded());
    editor.axError = AXError::success;

    ax.setTrusted(false);
    EXPECT_EQ(ax.copyAttribute(window, AX::minimized).error, AXError::apiDisabled);
    ax.setTrusted(true);

    fake.closeWindow(notes);
    EXPECT_EQ(ax.copyAttribute(window, AX::minimized).error, AXError::invalidElement)
        << "an element of a closed window is stale";
    EXPECT_EQ(ax.performAction(window, AX::raiseAction), AXError::invalidElement);
    EXPECT_FALSE(ax.windowNumber(window).has_value());
}

TEST(FakeDesktop, CloseButtonStatesAndPress) {
    FakePlatform fake;
    auto& editor = fake.addApp({.name = "Editor"});
    using CB = FakeWindow::CloseButton;
    auto& enabled = fake.addWindow(editor, "A");
    auto& disabled = fake.addWindow(editor, {.title = "B", .closeButton = CB::disabled});
    auto& missing = fake.addWindow(editor, {.title = "C", .closeButton = CB::missingEnabled});
    auto& refusing = fake.addWindow(editor, {.title = "D", .refusesClose = true});
    auto& ax = *fake.accessibility;
    auto button = [&](FakeWindow& w) {
        return ax.copyAttribute(fake.element(w), AX::closeButton).asElement();
    };

    EXPECT_EQ(ax.copyAttribute(button(disabled), AX::enabled).asBool(), false);
    EXPECT_EQ(ax.copyAttribute(button(missing), AX::enabled).error, AXError::attributeUnsupported);
    EXPECT_EQ(ax.performAction(button(disabled), AX::pressAction), AXError::cannotComplete);
    EXPECT_EQ(ax.performAction(button(refusing), AX::pressAction), AXError::success);
    EXPECT_FALSE(refusing.closed);
    EXPECT_EQ(ax.performAction(button(enabled), AX::pressAction), AXError::success);
    EXPECT_TRUE(enabled.closed);
    EXPECT_EQ(fake.effects->closedByButton, (std::vector<std::uint32_t>{enabled.number}));
    EXPECT_EQ(windowsOf(fake, editor).size(), 3u);
}

TEST(FakeDesktop, WritesAreAppliedAndRecorded) {
    FakePlatform fake;
    auto& editor = fake.addApp({.name = "Editor"});
    auto& notes = fake.addWindow(editor, {.title = "Notes", .minimized = true});
    auto& ax = *fake.accessibility;
    auto window = fake.element(notes);

    EXPECT_EQ(ax.setAttribute(window, AX::minimized, false), AXError::success);
    EXPECT_FALSE(notes.minimized);
    EXPECT_EQ(fake.effects->unminimized, (std::vector<std::uint32_t>{notes.number}));
    EXPECT_EQ(ax.setAttribute(window, AX::main, true), AXError::success);
    EXPECT_TRUE(notes.main);
    EXPECT_EQ(fake.effects->axWrites.back(),
              (AXWriteRecord{"window " + std::to_string(notes.number), AX::main, true}));
}

TEST(FakeDesktop, NodeTreesReadLikeBrowserTabStrips) {
    FakePlatform fake;
    auto& browser = fake.addApp({.bundleID = "com.google.Chrome", .name = "Google Chrome"});
    auto tab = FakeAXNode::make(AX::radioButtonRole, {{AX::title, "Inbox"}, {AX::value, true}});
    auto strip = FakeAXNode::make(AX::tabGroupRole, {}, {tab});
    auto& window = fake.addWindow(browser, {.title = "Inbox", .content = {strip}});
    auto& ax = *fake.accessibility;

    auto children = ax.copyAttribute(fake.element(window), AX::children).asElements();
    ASSERT_TRUE(children && children->size() == 1);
    EXPECT_EQ(ax.copyAttribute((*children)[0], AX::role).asString(), AX::tabGroupRole);
    auto tabs = ax.copyAttribute((*children)[0], AX::children).asElements();
    ASSERT_TRUE(tabs && tabs->size() == 1);
    EXPECT_EQ((*tabs)[0], fake.accessibility->nodeElement(tab, window)) << "stable handles";
    EXPECT_EQ(ax.copyAttribute((*tabs)[0], AX::title).asString(), "Inbox");
    EXPECT_EQ(ax.performAction((*tabs)[0], AX::pressAction), AXError::success);
    EXPECT_EQ(fake.effects->axActions.back(), (AXActionRecord{"AXRadioButton Inbox", "AXPress"}));
}

TEST(FakeDesktop, WorkspacePostsActivationAndTermination) {
    FakePlatform fake;
    auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
    auto& stubborn = fake.addApp({.name = "Stubborn", .quitsOnTerminate = false});
    std::vector<std::string> seen;
    std::vector<Subscription> observers;
    for (const char* name : {kDidActivateApplication, kDidTerminateApplication}) {
        observers.push_back(fake.notifications->addObserver(name, [&](const Notification& n) {
            auto app = std::any_cast<RunningApplication>(n.object);
            seen.push_back(n.name + " " + app.localizedName.value_or("?"));
        }));
    }

    fake.setFrontmost(editor);
    fake.setFrontmost(editor);
    EXPECT_TRUE(fake.workspace->terminate(stubborn.pid));
    EXPECT_FALSE(stubborn.gone);
    EXPECT_TRUE(fake.workspace->activate(stubborn.pid, ActivationOptions::allWindows));
    EXPECT_TRUE(fake.workspace->terminate(editor.pid));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        std::string(kDidActivateApplication) + " Editor",
                        std::string(kDidActivateApplication) + " Stubborn",
                        std::string(kDidTerminateApplication) + " Editor",
                    }));
    EXPECT_FALSE(fake.workspace->runningApplication(editor.pid).has_value());
    EXPECT_EQ(fake.workspace->frontmostApplication()->pid, stubborn.pid);
    EXPECT_EQ(fake.effects->activations,
              (std::vector<ActivationRecord>{{stubborn.pid, ActivationOptions::allWindows}}));
}

TEST(FakeDesktop, OpenApplicationLaunchesInstalledBundleOnBackgroundQueue) {
    FakePlatform fake;
    fake.addInstalledApp("/Applications/Maps.app", "com.apple.Maps", "Maps");
    fake.workspace->failOpen("/Applications/Broken.app", "damaged");
    std::vector<std::string> results;
    auto record = [&](std::optional<RunningApplication> app, std::optional<std::string> error) {
        results.push_back(app ? *app->bundleIdentifier : "error: " + error.value_or(""));
    };

    fake.workspace->openApplication("/Applications/Maps.app", true, record);
    fake.workspace->openApplication("/Applications/Broken.app", true, record);
    EXPECT_TRUE(results.empty()) << "completions never run inside the call";
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(results, (std::vector<std::string>{"com.apple.Maps", "error: damaged"}));
    auto front = fake.workspace->frontmostApplication();
    ASSERT_TRUE(front.has_value());
    EXPECT_EQ(front->bundlePath, "/Applications/Maps.app");

    fake.workspace->openApplication("/Applications/Maps.app", false, record);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.workspace->runningApplications().size(), 1u) << "a running app is reused";
}

TEST(FakeDesktop, SignalsAreRecordedAndKillOnlyWhatDies) {
    FakePlatform fake;
    auto& editor = fake.addApp({.name = "Editor"});
    auto& immortal = fake.addApp({.name = "Immortal", .diesOnKill = false});
    auto& foreign = fake.addApp({.name = "Foreign", .ownerUid = 0});

    EXPECT_TRUE(fake.processes->sendSignal(editor.pid, Signals::kill));
    EXPECT_TRUE(fake.processes->sendSignal(immortal.pid, Signals::kill));
    EXPECT_FALSE(fake.processes->sendSignal(editor.pid, Signals::kill)) << "already gone";
    EXPECT_TRUE(editor.gone);
    EXPECT_FALSE(immortal.gone);
    EXPECT_EQ(fake.processes->ownerUid(foreign.pid), 0u);
    EXPECT_EQ(fake.processes->ownerUid(immortal.pid), fake.processes->currentUid());
    EXPECT_FALSE(fake.processes->ownerUid(editor.pid).has_value());
    EXPECT_EQ(fake.effects->signals.size(), 3u);
}

TEST(FakeFileSystem, EnumeratesInNameOrderSkippingHiddenAndPackageContents) {
    FakePlatform fake;
    auto& files = *fake.files;
    files.addPackage("/Applications/Zed.app");
    files.addFile("/Applications/Zed.app/Contents/Info.plist");
    files.addPackage("/Applications/Utilities/Terminal.app");
    files.addPackage("/Applications/.Hidden.app");
    files.addPackage("/Applications/Alpha.app");
    std::vector<std::string> seen;
    EXPECT_TRUE(files.enumerate("/Applications", [&](const DirectoryEntry& e) {
        seen.push_back(e.path);
        return true;
    }));
    EXPECT_EQ(seen, (std::vector<std::string>{"/Applications/Alpha.app", "/Applications/Utilities",
                                              "/Applications/Utilities/Terminal.app",
                                              "/Applications/Zed.app"}));
    EXPECT_FALSE(files.enumerate("/Nowhere", [](const DirectoryEntry&) { return true; }));
}

TEST(FakeFileSystem, WatchesHearTestEventsOnABackgroundQueueWhileAlive) {
    FakePlatform fake;
    fake.files->addDirectory("/Applications");
    int events = 0;
    bool onMain = true;
    auto watch = fake.files->watchFolder("/Applications", [&] {
        ++events;
        onMain = fake.dispatch->isMainThread();
    });
    ASSERT_TRUE(watch);
    EXPECT_FALSE(fake.files->watchFolder("/Missing", [] {}));
    fake.files->emitChange("/Applications");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(onMain);
    watch.reset();
    fake.files->emitChange("/Applications");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(events, 1) << "a dropped watch hears nothing";
}

TEST(FakeUrlLoader, AnswersQueuedResponsesInOrderThenOffline) {
    FakePlatform fake;
    fake.urls->respond("https://a.test/favicon.ico", 200, "image/x-icon", Data{{0, 0, 1, 0}});
    fake.urls->fail("https://a.test/favicon.ico", "timed out");
    std::vector<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        fake.urls->load("https://a.test/favicon.ico", 5,
                        [&](std::optional<UrlResponse> r, std::string error) {
                            seen.push_back(r ? std::to_string(r->statusCode) : error);
                        });
    }
    EXPECT_TRUE(seen.empty());
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(seen, (std::vector<std::string>{"200", "timed out", "offline"}));
}

TEST(FakeScriptEngine, AnswersBySourceThenHandlerAndRecords) {
    FakePlatform fake;
    fake.scripts->setResult("tell application \"Music\" to pause", ScriptValue(true));
    fake.scripts->setHandler([](const std::string& source, double) -> std::optional<ScriptValue> {
        if (source == "count")
            return ScriptValue(3);
        return std::nullopt;
    });
    EXPECT_EQ(fake.scripts->execute("tell application \"Music\" to pause", 2), ScriptValue(true));
    EXPECT_EQ(fake.scripts->execute("count", 2), ScriptValue(3));
    EXPECT_FALSE(fake.scripts->execute("broken", 2).has_value());
    EXPECT_EQ(fake.scripts->sources(),
              (std::vector<std::string>{"tell application \"Music\" to pause", "count", "broken"}));
}

}  // namespace
}  // namespace vantlo
