#include "input/HotkeyStore.h"
#include "input/ShortcutStore.h"
#include "preferences/HotkeyRecorder.h"
#include "preferences/PreferencesPane.h"
#include "preferences/PreferencesTestBase.h"
#include "preferences/ShortcutsPaneModel.h"

namespace vantlo {
namespace {

using A = ShortcutAction;
constexpr HotkeyConfig kAltK{40, CarbonModifiers::option};                                 // K
constexpr HotkeyConfig kCtrlAltK{40, CarbonModifiers::option | CarbonModifiers::control};  // K
constexpr std::uint64_t kAlt = ModifierFlags::option;
constexpr std::uint64_t kCtrlAlt = ModifierFlags::option | ModifierFlags::control;

using HotkeyRecorderTest = PreferencesTest;
using ShortcutsPaneModelTest = PreferencesTest;

TEST_F(HotkeyRecorderTest, AClickArmsAndASecondClickDisarms) {
    HotkeyRecorder recorder(HotkeyConfig::defaultActivation(), false);
    EXPECT_EQ(recorder.keyDown(40, kAlt), HotkeyRecorder::KeyResult::passedOn)
        << "a disarmed recorder takes no keys";
    EXPECT_TRUE(recorder.toggle());
    EXPECT_EQ(recorder.text(), "Press keys…");
    EXPECT_FALSE(recorder.toggle());
    EXPECT_EQ(recorder.text(), HotkeyConfig::defaultActivation().displayString());
}

TEST_F(HotkeyRecorderTest, EscapeDisarmsAndKeepsTheBindingEvenWithModifiers) {
    int captures = 0;
    HotkeyRecorder recorder(kAltK, true, [&](const HotkeyConfig&) { ++captures; });
    for (std::uint64_t flags : {std::uint64_t{0}, kAlt, kCtrlAlt}) {
        recorder.toggle();
        EXPECT_EQ(recorder.keyDown(KeyCode::escape, flags), HotkeyRecorder::KeyResult::cancelled)
            << "flags " << flags;
        EXPECT_FALSE(recorder.isRecording()) << "flags " << flags;
    }
    EXPECT_EQ(captures, 0);
    EXPECT_EQ(recorder.config(), kAltK);
}

TEST_F(HotkeyRecorderTest, PlainTabIsRefusedForActivationButTakenByAnActionRow) {
    std::optional<HotkeyConfig> captured;
    HotkeyRecorder activation(HotkeyConfig::defaultActivation(), false,
                              [&](const HotkeyConfig& c) { captured = c; });
    activation.toggle();
    EXPECT_EQ(activation.keyDown(KeyCode::tab, 0), HotkeyRecorder::KeyResult::refused);
    EXPECT_EQ(beeps(), 1);
    EXPECT_TRUE(activation.isRecording()) << "a refused key keeps the recorder armed";
    EXPECT_EQ(activation.keyDown(40, kCtrlAlt), HotkeyRecorder::KeyResult::captured);
    EXPECT_EQ(captured, kCtrlAltK);
    EXPECT_FALSE(activation.isRecording());

    HotkeyRecorder row(kAltK, true, [&](const HotkeyConfig& c) { captured = c; });
    row.toggle();
    EXPECT_EQ(row.keyDown(KeyCode::tab, 0), HotkeyRecorder::KeyResult::captured);
    EXPECT_EQ(captured, (HotkeyConfig{KeyCode::tab, 0}));
    row.toggle();
    EXPECT_EQ(row.keyDown(40, 0), HotkeyRecorder::KeyResult::refused) << "a plain letter";
    EXPECT_EQ(beeps(), 2);
}

TEST_F(ShortcutsPaneModelTest, AConflictingCaptureBeepsAndStoresNothing) {
    int redraws = 0;
    ShortcutsPaneModel pane([&] { ++redraws; });
    HotkeyConfig closeBinding = pane.binding(A::closeSelected);  // Alt+X
    EXPECT_FALSE(pane.capture(A::moveUp, closeBinding));
    EXPECT_EQ(beeps(), 1);
    EXPECT_EQ(redraws, 0);
    EXPECT_TRUE(ShortcutStore::all().empty()) << "nothing stored";
    EXPECT_EQ(pane.binding(A::moveUp), ShortcutActions::defaultBinding(A::moveUp));

    EXPECT_TRUE(pane.capture(A::moveUp, kAltK));
    EXPECT_EQ(ShortcutStore::binding(A::moveUp), kAltK);
    EXPECT_EQ(pane.binding(A::moveUp), kAltK);
    EXPECT_GE(redraws, 1);
}

TEST_F(ShortcutsPaneModelTest, ConflictsStoredElsewhereShowInTheCaptionUntilResetAll) {
    ShortcutStore::set(ShortcutActions::defaultBinding(A::closeSelected), A::moveUp);
    ShortcutsPaneModel pane;
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(pane.caption(A::moveUp), "Conflicts with Close selected");
    pane.resetAll();
    for (A action : ShortcutActions::allCases()) {
        EXPECT_EQ(pane.binding(action), ShortcutActions::defaultBinding(action))
            << ShortcutActions::rawValue(action);
        EXPECT_EQ(pane.caption(action), ShortcutActions::detail(action))
            << ShortcutActions::rawValue(action);
    }
}

TEST_F(ShortcutsPaneModelTest, ReloadsWhenTheShortcutsChangeElsewhere) {
    int redraws = 0;
    ShortcutsPaneModel pane([&] { ++redraws; });
    ShortcutStore::set(kAltK, A::desktop);
    EXPECT_EQ(pane.binding(A::desktop), ShortcutActions::defaultBinding(A::desktop))
        << "the reload runs on the main queue";
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(pane.binding(A::desktop), kAltK);
    EXPECT_EQ(redraws, 1);
    pane.reset(A::desktop);
    EXPECT_EQ(pane.binding(A::desktop), ShortcutActions::defaultBinding(A::desktop));
}

TEST_F(ShortcutsPaneModelTest, ANewActivationHotKeyIsAnnouncedAtOnce) {
    int announcements = 0;
    Subscription observer = fake_.notifications->addObserver(
        HotkeyStore::changedNotification, [&](const Notification&) { ++announcements; });
    ShortcutsPaneModel pane;
    pane.setActivationHotkey(kCtrlAltK);
    EXPECT_EQ(HotkeyStore::current(), kCtrlAltK);
    EXPECT_EQ(announcements, 1);
    pane.resetActivationHotkey();
    EXPECT_EQ(HotkeyStore::current(), HotkeyConfig::defaultActivation());
}

TEST(PreferencesPane, OrderRawValuesAndSymbols) {
    std::vector<std::string> raws;
    for (PreferencesPane pane : PreferencesPanes::allCases())
        raws.push_back(PreferencesPanes::rawValue(pane));
    EXPECT_EQ(raws, (std::vector<std::string>{"general", "shortcuts", "appearance", "exceptions",
                                              "feedback"}));
    EXPECT_EQ(PreferencesPanes::fromRawValue("feedback"), PreferencesPane::feedback);
    EXPECT_EQ(PreferencesPanes::fromRawValue("Feedback"), std::nullopt);
    EXPECT_EQ(PreferencesPanes::symbol(PreferencesPane::exceptions), "nosign");
}

}  // namespace
}  // namespace vantlo
