#include <gtest/gtest.h>

#include "input/HotkeyRecording.h"
#include "input/ShortcutConflicts.h"
#include "input/ShortcutGroup.h"
#include "settings/Localization.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using A = ShortcutAction;
using Kind = RecordingOutcome::Kind;

ShortcutTable defaults() {
    ShortcutTable table;
    for (auto action : ShortcutActions::allCases())
        table[action] = ShortcutActions::defaultBinding(action);
    return table;
}

TEST(ShortcutConflicts, OpenSelectedAndSearchMayShareReturn) {
    auto table = defaults();
    EXPECT_EQ(ShortcutConflicts::conflictingAction(A::search, {KeyCode::returnKey, 0}, table),
              std::nullopt);
    EXPECT_EQ(ShortcutConflicts::conflictingAction(A::openSelected, {KeyCode::returnKey, 0}, table),
              std::nullopt);
    EXPECT_EQ(ShortcutConflicts::conflictingAction(A::cancel, {KeyCode::returnKey, 0}, table),
              A::openSelected)
        << "any other action taking Return clashes with the first holder";
}

TEST(ShortcutConflicts, NamesTheEarliestClashingAction) {
    auto table = defaults();
    HotkeyConfig optionW{KeyCode::w, CarbonModifiers::option};
    EXPECT_EQ(ShortcutConflicts::conflictingAction(A::desktop, optionW, table), A::moveUp);
    EXPECT_EQ(ShortcutConflicts::conflictingAction(A::moveUp, optionW, table), std::nullopt)
        << "an action never clashes with itself";

    table[A::back] = {KeyCode::s, CarbonModifiers::control};
    table[A::enterGroup] = {KeyCode::s, CarbonModifiers::control};
    EXPECT_EQ(ShortcutConflicts::conflictingAction(A::desktop, table[A::back], table),
              A::enterGroup)
        << "enterGroup comes before back";
    EXPECT_EQ(
        ShortcutConflicts::conflictingAction(
            A::desktop, {KeyCode::w, CarbonModifiers::option | CarbonModifiers::shift}, table),
        std::nullopt)
        << "modifiers must match exactly";

    table.erase(A::moveUp);
    EXPECT_EQ(ShortcutConflicts::conflictingAction(A::desktop, optionW, table), std::nullopt)
        << "actions missing from the table are skipped";
}

TEST(ShortcutConflicts, CaptionShowsConflictOrDescriptionInTheUserLanguage) {
    FakePlatform fake;
    Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
    Localization::resetShared();
    Localization::shared().setLanguage(AppLanguage::english);
    auto table = defaults();
    EXPECT_EQ(ShortcutConflicts::caption(A::desktop, table), "Shows the desktop.");
    table[A::desktop] = {KeyCode::w, CarbonModifiers::option};
    EXPECT_EQ(ShortcutConflicts::caption(A::desktop, table), "Conflicts with Move up");
    EXPECT_EQ(ShortcutConflicts::caption(A::moveUp, table), "Conflicts with Desktop");

    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);
    EXPECT_EQ(ShortcutConflicts::caption(A::desktop, table), "与“上移”冲突");
    EXPECT_EQ(ShortcutConflicts::caption(A::back, table), "从分组详情视图返回。");
    EXPECT_EQ(ShortcutGroups::title(ShortcutGroup::navigation), "导航");

    Localization::resetShared();
    Localization::setResourcesPath("");
}

TEST(HotkeyRecording, EscapeAlwaysEndsWithoutCapturing) {
    for (bool allowPlain : {true, false})
        for (std::uint64_t flags : {std::uint64_t{0}, ModifierFlags::option,
                                    ModifierFlags::command | ModifierFlags::shift}) {
            auto outcome = HotkeyRecording::record(KeyCode::escape, flags, allowPlain);
            EXPECT_EQ(outcome.kind, Kind::cancelled) << "flags " << flags;
            EXPECT_FALSE(outcome.config.has_value());
        }
}

TEST(HotkeyRecording, PlainKeysNeedTheShortcutRowsAllowance) {
    struct Case {
        std::uint32_t key;
        bool allowPlain;
        Kind expected;
    } cases[] = {
        {KeyCode::w, true, Kind::rejected},          {KeyCode::tab, true, Kind::captured},
        {KeyCode::downArrow, true, Kind::captured},  {KeyCode::returnKey, true, Kind::captured},
        {KeyCode::leftArrow, true, Kind::captured},  {KeyCode::space, true, Kind::rejected},
        {KeyCode::tab, false, Kind::rejected},       {KeyCode::upArrow, false, Kind::rejected},
        {KeyCode::keypadEnter, true, Kind::rejected}};
    for (const auto& c : cases) {
        auto outcome = HotkeyRecording::record(c.key, ModifierFlags::capsLock, c.allowPlain);
        EXPECT_EQ(outcome.kind, c.expected) << "key " << c.key << " allowPlain " << c.allowPlain;
        if (c.expected == Kind::captured) {
            EXPECT_EQ(outcome.config, (HotkeyConfig{c.key, 0})) << "key " << c.key;
        }
    }
}

TEST(HotkeyRecording, AnyModifierMakesAKeyBindable) {
    auto outcome = HotkeyRecording::record(
        KeyCode::w, ModifierFlags::control | ModifierFlags::option | ModifierFlags::capsLock,
        false);
    EXPECT_EQ(outcome.kind, Kind::captured);
    EXPECT_EQ(outcome.config, (HotkeyConfig{KeyCode::w, 0x1800}));
    EXPECT_EQ(HotkeyRecording::record(KeyCode::tab, ModifierFlags::option, false).config,
              HotkeyConfig::defaultActivation());
    EXPECT_EQ(HotkeyRecording::record(105, ModifierFlags::shift, true).config,
              (HotkeyConfig{105, 0x0200}))
        << "keys without a name are bindable too";
}

}  // namespace
}  // namespace vantlo
