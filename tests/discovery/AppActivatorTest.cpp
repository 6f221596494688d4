#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/AppActivator.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

class AppActivatorTest : public ::testing::Test {
  protected:
    explicit AppActivatorTest(FakePlatform::Facts facts = FakePlatform::Facts::macOS)
        : fake(facts) {
        AppActivator::resetShared();
    }
    ~AppActivatorTest() override { AppActivator::resetShared(); }

    AppActivator& activator() { return AppActivator::shared(); }
    // An editor that stays open on a polite quit (unsaved changes), as most do.
    FakeApp& addEditor() {
        return fake.addApp({.bundleID = "com.example.editor",
                            .name = "Editor",
                            .bundlePath = "/Applications/Editor.app",
                            .quitsOnTerminate = false});
    }
    std::vector<SignalRecord> kills(Pid pid) {
        return std::vector<SignalRecord>(n, SignalRecord{pid, Signals::kill});
    }

    FakePlatform fake;
    std::size_t n = 1;
};

using Kind = CloseCapability::Kind;

TEST_F(AppActivatorTest, CloseCapabilityRefusesProtectedBrowsersAndKnownFailures) {
    for (const char* id : {"com.apple.finder", "com.apple.dock", "com.local.vantlo"}) {
        fake.addApp({.bundleID = id});
        EXPECT_EQ(activator().closeCapability(id),
                  CloseCapability::blocked(CloseCapability::kProtectedApp))
            << id;
    }
    fake.addApp({.bundleID = "com.google.GeminiMacOS"});
    EXPECT_EQ(activator().closeCapability("com.google.GeminiMacOS"),
              CloseCapability::blocked(CloseCapability::kForceQuitIneffective));
    fake.addApp({.bundleID = "com.google.Chrome"});
    EXPECT_EQ(activator().closeCapability("com.google.Chrome"),
              CloseCapability::blocked(CloseCapability::kCloseTabsInstead));
    addEditor();
    EXPECT_EQ(activator().closeCapability("com.example.editor"), CloseCapability::quitApp());
    fake.addApp({.bundleID = "com.example.tray", .policy = ActivationPolicy::accessory});
    EXPECT_EQ(activator().closeCapability("com.example.tray"), CloseCapability::none());
    EXPECT_EQ(activator().closeCapability("com.example.absent"), CloseCapability::none());

    activator().quit("com.apple.finder");
    activator().quit("com.google.Chrome");
    EXPECT_TRUE(fake.effects->terminated.empty()) << "blocked applications are never quit";
}

TEST_F(AppActivatorTest, SecondCloseAtExactlySixSecondsForcesTheQuit) {
    auto& editor = addEditor();
    activator().quit("com.example.editor");
    EXPECT_EQ(fake.effects->terminated, (std::vector<Pid>{editor.pid}));
    fake.dispatch->advance(6.0);
    activator().quit("com.example.editor");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.effects->terminated.size(), 1u);
    EXPECT_EQ(fake.effects->signals, kills(editor.pid));
    EXPECT_TRUE(editor.gone);
}

TEST_F(AppActivatorTest, SecondCloseJustAfterSixSecondsAsksPolitelyAgain) {
    auto& editor = addEditor();
    activator().quit("com.example.editor");
    fake.dispatch->advance(6.001);
    activator().quit("com.example.editor");
    fake.dispatch->advance(1.0);
    EXPECT_EQ(fake.effects->terminated, (std::vector<Pid>{editor.pid, editor.pid}));
    EXPECT_TRUE(fake.effects->signals.empty());
    activator().quit("com.example.editor");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.effects->signals, kills(editor.pid)) << "a third close within 6 s escalates";
}

TEST_F(AppActivatorTest, PoliteQuitBringsTheUnsavedChangesDialogForward) {
    auto& editor = addEditor();
    fake.addWindow(editor, {.title = "Notes", .hasSheet = true});
    fake.addApp({.name = "Other"});
    activator().quit("com.example.editor");
    fake.dispatch->advance(1.0);
    EXPECT_TRUE(fake.effects->activations.empty());
    fake.dispatch->advance(0.2);
    EXPECT_EQ(fake.effects->activations,
              (std::vector<ActivationRecord>{{editor.pid, ActivationOptions::none}}));
    EXPECT_TRUE(fake.effects->signals.empty()) << "a polite quit never kills";
}

TEST_F(AppActivatorTest, ForcedQuitBringsADialogForwardThenKillsItAnywayAtSixTenths) {
    auto& editor = addEditor();
    fake.addWindow(editor, {.title = "Save?", .subrole = AX::dialogSubrole});
    activator().quit("com.example.editor");
    activator().quit("com.example.editor");
    fake.dispatch->runUntilIdle();

    EXPECT_EQ(fake.effects->activations,
              (std::vector<ActivationRecord>{{editor.pid, ActivationOptions::none}}));
    EXPECT_TRUE(fake.effects->signals.empty()) << "not killed in the first pass";
    fake.dispatch->advance(0.5);
    EXPECT_TRUE(fake.effects->signals.empty());
    fake.dispatch->advance(0.1);
    EXPECT_EQ(fake.effects->signals, kills(editor.pid));
    fake.dispatch->advance(2.0);
    EXPECT_EQ(activator().closeCapability("com.example.editor"), CloseCapability::none())
        << "it ended, so it is not marked ineffective";
}

TEST_F(AppActivatorTest, SurvivingAForcedQuitBlocksClosingForTenMinutesAcrossRestarts) {
    auto& editor = addEditor();
    editor.diesOnKill = false;
    activator().quit("com.example.editor");
    activator().quit("com.example.editor");
    fake.dispatch->advance(1.5);
    EXPECT_EQ(activator().closeCapability("com.example.editor").kind(), Kind::quitApp);
    fake.dispatch->advance(0.5);
    n = 2;
    EXPECT_EQ(fake.effects->signals, kills(editor.pid)) << "first pass and the 0.6 s pass";
    auto blocked = CloseCapability::blocked(CloseCapability::kForceQuitIneffective);
    EXPECT_EQ(activator().closeCapability("com.example.editor"), blocked);
    auto stored = fake.defaults->dictionary("forceQuitIneffectiveUntil.v1");
    ASSERT_TRUE(stored && stored->count("com.example.editor"));
    EXPECT_DOUBLE_EQ(*stored->at("com.example.editor").asReal(), fake.clock->now() + 600);

    AppActivator::resetShared();  // a restart of the program
    fake.dispatch->advance(599.5);
    EXPECT_EQ(activator().closeCapability("com.example.editor"), blocked);
    activator().quit("com.example.editor");
    EXPECT_EQ(fake.effects->terminated.size(), 1u) << "blocked: no quit";
    fake.dispatch->advance(0.5);
    EXPECT_EQ(activator().closeCapability("com.example.editor"), CloseCapability::quitApp());
    EXPECT_EQ(fake.defaults->dictionary("forceQuitIneffectiveUntil.v1"), PropertyDictionary{})
        << "the expired entry is dropped from the stored table";
}

TEST_F(AppActivatorTest, StoredTableKeepsOnlyFutureWellFormedEntries) {
    double now = fake.clock->now();
    fake.defaults->set("forceQuitIneffectiveUntil.v1",
                       PropertyDictionary{{"com.example.future", now + 60},
                                          {"com.example.past", now - 1},
                                          {"com.example.text", "soon"}});
    EXPECT_TRUE(activator().isTemporarilyForceQuitIneffective("com.example.future"));
    EXPECT_FALSE(activator().isTemporarilyForceQuitIneffective("com.example.past"));
    EXPECT_FALSE(activator().isTemporarilyForceQuitIneffective("com.example.text"));
    AppActivator::resetShared();
    fake.defaults->set("forceQuitIneffectiveUntil.v1", "garbage");
    EXPECT_FALSE(activator().isTemporarilyForceQuitIneffective("com.example.future"));
}

TEST_F(AppActivatorTest, ForcedQuitPausesAMediaPlayerFirst) {
    auto& music =
        fake.addApp({.bundleID = "com.apple.Music", .name = "Music", .quitsOnTerminate = false});
    activator().quit("com.apple.Music");
    activator().quit("com.apple.Music");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.scripts->sources(),
              (std::vector<std::string>{"tell application \"Music\" to pause"}));
    auto& journal = fake.effects->journal;
    auto pause =
        std::find(journal.begin(), journal.end(), "script tell application \"Music\" to pause");
    auto kill =
        std::find(journal.begin(), journal.end(), "signal 9 to " + std::to_string(music.pid));
    EXPECT_LT(pause, kill);
}

TEST_F(AppActivatorTest, ForcedQuitSignalsOnlyThisUsersOtherProcessesAndLogsEachSkipOnce) {
    auto add = [&](Pid pid, std::optional<std::uint32_t> owner, bool unknown) -> FakeApp& {
        return fake.addApp({.bundleID = "com.example.multi",
                            .pid = pid,
                            .ownerUid = owner,
                            .ownerUnknown = unknown,
                            .quitsOnTerminate = false,
                            .diesOnKill = false});
    };
    add(1, std::nullopt, false);
    auto& self = add(0, std::nullopt, false);
    fake.processes->setCurrentPid(self.pid);
    auto& root = add(0, 0u, false);
    auto& unknown = add(0, std::nullopt, true);
    auto& mine = add(0, std::nullopt, false);

    activator().quit("com.example.multi");
    activator().quit("com.example.multi");
    fake.dispatch->advance(3.0);

    n = 2;
    EXPECT_EQ(fake.effects->signals, kills(mine.pid)) << "first pass and 0.6 s pass, mine only";
    auto lines = fake.log->lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "[Vantlo] Not force quitting process 1: not an application process");
    EXPECT_EQ(lines[1], "[Vantlo] Not force quitting process " + std::to_string(self.pid) +
                            ": it is this program");
    EXPECT_EQ(lines[2], "[Vantlo] Not force quitting process " + std::to_string(root.pid) +
                            ": it belongs to another user");
    EXPECT_EQ(lines[3], "[Vantlo] Not force quitting process " + std::to_string(unknown.pid) +
                            ": its owner cannot be read");
}

TEST_F(AppActivatorTest, ActivateOpensTheBundleAndOnFailureLogsAndBeepsWithoutOpeningIt) {
    fake.addInstalledApp("/Applications/Maps.app", "com.apple.Maps", "Maps");
    AppActivator::activate(
        AppItem{Uuid::random(), "com.apple.Maps", "Maps", nullptr, "/Applications/Maps.app"});
    fake.dispatch->runUntilIdle();
    auto maps = fake.desktop->appWithBundleID("com.apple.Maps");
    ASSERT_NE(maps, nullptr);
    EXPECT_EQ(fake.effects->activations,
              (std::vector<ActivationRecord>{{maps->pid, ActivationOptions::allWindows}}));

    fake.workspace->failOpen("/Applications/Broken.app", "damaged");
    AppActivator::activate(AppItem{Uuid::random(), "com.example.broken", "Broken", nullptr,
                                   "/Applications/Broken.app"});
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.log->lines(),
              (std::vector<std::string>{"[Vantlo] Failed to open app Broken: damaged"}));
    EXPECT_EQ(fake.effects->beeps, 1);
    EXPECT_TRUE(fake.effects->openedURLs.empty())
        << "the bundle is never handed to whatever opens such files";
}

TEST_F(AppActivatorTest, ActivatingTheFileManagerAlwaysOpensAHomeWindow) {
    const auto& facts = fake.facts();
    fake.addInstalledApp(facts.fileManagerAppPath, "com.apple.finder", "Finder");
    AppActivator::activate(
        AppItem{Uuid::random(), "com.apple.finder", "Finder", nullptr, facts.fileManagerAppPath});
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.effects->openedApps,
              (std::vector<OpenAppRecord>{{facts.fileManagerAppPath, true}}));
    EXPECT_EQ(fake.effects->openedURLs, (std::vector<std::string>{"/Users/tester"}));

    fake.workspace->failOpen(facts.fileManagerAppPath, "gone");
    AppActivator::ensureFinderWindow();
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.effects->openedURLs.size(), 2u) << "the home folder opens even on failure";
}

TEST_F(AppActivatorTest, RunningUserAppNeedsALiveInstanceInstalledInARoot) {
    fake.addApp({.bundleID = "com.example.a", .bundlePath = "/Applications/A.app"});
    fake.addApp({.bundleID = "com.example.b", .bundlePath = "/Volumes/Disk/B.app"});
    fake.addApp({.bundleID = "com.example.c"});
    auto& d = fake.addApp({.bundleID = "com.example.d", .bundlePath = "/Applications/D.app"});
    d.terminated = true;
    EXPECT_TRUE(AppActivator::isRunningUserApp("com.example.a"));
    EXPECT_FALSE(AppActivator::isRunningUserApp("com.example.b"));
    EXPECT_FALSE(AppActivator::isRunningUserApp("com.example.c"));
    EXPECT_FALSE(AppActivator::isRunningUserApp("com.example.d"));
    EXPECT_FALSE(AppActivator::isRunningUserApp("com.example.none"));
}

TEST_F(AppActivatorTest, DialogProbeReadsSubrolesAndSheets) {
    auto& plain = fake.addApp({.name = "Plain"});
    fake.addWindow(plain, "Main");
    auto& sheet = fake.addApp({.name = "Sheet"});
    fake.addWindow(sheet, {.title = "Doc", .hasSheet = true});
    auto& system = fake.addApp({.name = "System"});
    fake.addWindow(system, {.subrole = AX::systemDialogSubrole});
    auto& locked = fake.addApp({.name = "Locked", .axError = AXError::cannotComplete});
    auto& empty = fake.addApp({.name = "Empty"});
    EXPECT_EQ(AppActivator::modalDialogState(plain.pid), ModalDialogState::absent);
    EXPECT_EQ(AppActivator::modalDialogState(sheet.pid), ModalDialogState::present);
    EXPECT_EQ(AppActivator::modalDialogState(system.pid), ModalDialogState::present);
    EXPECT_EQ(AppActivator::modalDialogState(locked.pid), ModalDialogState::unreadable);
    EXPECT_EQ(AppActivator::modalDialogState(empty.pid), ModalDialogState::absent);
}

class LinuxAppActivatorTest : public AppActivatorTest {
  protected:
    LinuxAppActivatorTest() : AppActivatorTest(FakePlatform::Facts::linux) {}
};

TEST_F(LinuxAppActivatorTest, FileManagersAndShellAreProtectedAndMprisPlayersPaused) {
    for (const char* id : {"org.gnome.Nautilus", "thunar", "org.kde.dolphin", "plasmashell"}) {
        fake.addApp({.bundleID = id});
        EXPECT_EQ(activator().closeCapability(id).reason(), CloseCapability::kProtectedApp) << id;
    }
    fake.addApp({.bundleID = "google-chrome"});
    EXPECT_EQ(activator().closeCapability("google-chrome").reason(),
              CloseCapability::kCloseTabsInstead);
    fake.addApp({.bundleID = "org.videolan.VLC", .quitsOnTerminate = false});
    activator().quit("org.videolan.VLC");
    activator().quit("org.videolan.VLC");
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fake.scripts->sources(),
              (std::vector<std::string>{"tell application \"vlc\" to pause"}));
}

TEST_F(LinuxAppActivatorTest, EnsureFinderWindowOpensTheFileManagerOnTheHomeFolder) {
    const auto& facts = fake.facts();
    fake.addInstalledApp(facts.fileManagerAppPath, facts.fileManagerBundleID, "Files");
    AppActivator::ensureFinderWindow();
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(
        fake.effects->openedApps,
        (std::vector<OpenAppRecord>{{"/usr/share/applications/org.gnome.Nautilus.desktop", true}}));
    EXPECT_EQ(fake.effects->openedURLs, (std::vector<std::string>{"/home/tester"}));
}

}  // namespace
}  // namespace vantlo
