#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControllerTestBase.h"
#include "input/ShortcutStore.h"
#include "switcher/PanelKeyTable.h"

namespace vantlo {
namespace {

using Outcome = PanelKeyTable::Outcome;

// A table whose handlers only record which of them ran, answering what the test asks.
struct RecordingTable {
    explicit RecordingTable(ShortcutTable bindings = ShortcutStore::allResolved()) {
        PanelKeyTable::Handlers handlers;
        for (ShortcutAction action : ShortcutActions::allCases()) {
            handlers.actions[action] = [this, action](const KeyEvent&) {
                ran.push_back(std::string(ShortcutActions::rawValue(action)));
                return answers.count(action) ? answers.at(action) : Outcome::consumed;
            };
        }
        handlers.tab = [this](const KeyEvent&) {
            ran.push_back("tab");
            return Outcome::consumed;
        };
        table = std::make_unique<PanelKeyTable>(std::move(bindings), std::move(handlers));
    }
    // The handlers that ran for one key press, and whether it was consumed.
    std::pair<std::vector<std::string>, bool> press(std::uint16_t key, std::uint64_t flags) {
        ran.clear();
        bool consumed = table->handle({key, flags, {}});
        return {ran, consumed};
    }

    std::map<ShortcutAction, Outcome> answers;
    std::vector<std::string> ran;
    std::unique_ptr<PanelKeyTable> table;
};

TEST(PanelKeyTable, EachDefaultBindingReachesItsAction) {
    FakePlatform fake;
    RecordingTable keys;
    for (ShortcutAction action : ShortcutActions::allCases()) {
        if (action == ShortcutAction::search)
            continue;  // shares Return with openSelected, which comes first
        HotkeyConfig binding = ShortcutStore::binding(action);
        auto flags = binding.carbonModifiers != 0 ? ModifierFlags::option : 0;
        auto [ran, consumed] = keys.press(static_cast<std::uint16_t>(binding.keyCode), flags);
        std::string name(ShortcutActions::rawValue(action));
        EXPECT_EQ(ran, (std::vector<std::string>{name})) << "binding of " << name;
        EXPECT_TRUE(consumed) << name;
    }
}

TEST(PanelKeyTable, FixedKeysAreRowsToo) {
    FakePlatform fake;
    RecordingTable keys;
    using V = std::vector<std::string>;
    const std::uint64_t any = ModifierFlags::command | ModifierFlags::shift;
    EXPECT_EQ(keys.press(KeyCode::upArrow, any).first, V{"moveUp"}) << "arrows with any modifiers";
    EXPECT_EQ(keys.press(KeyCode::downArrow, 0).first, V{"moveDown"});
    EXPECT_EQ(keys.press(KeyCode::leftArrow, 0).first, V{"back"});
    EXPECT_EQ(keys.press(KeyCode::rightArrow, any).first, V{"enterGroup"});
    EXPECT_EQ(keys.press(KeyCode::tab, ModifierFlags::shift).first, V{"tab"});
    EXPECT_EQ(keys.press(KeyCode::escape, 0).first, V{"cancel"}) << "plain Escape";
    EXPECT_EQ(keys.press(KeyCode::escape, ModifierFlags::command).first, V{})
        << "Command+Escape is no cancel unless bound";
    EXPECT_EQ(keys.press(KeyCode::keypadEnter, ModifierFlags::option).first, V{"openSelected"});
    EXPECT_EQ(keys.press(KeyCode::returnKey, ModifierFlags::control).first, V{})
        << "Control+Return is neither";
    auto [ran, consumed] = keys.press(KeyCode::w, 0);
    EXPECT_TRUE(ran.empty() && !consumed) << "a plain letter is text";
}

TEST(PanelKeyTable, AnActionThatDoesNotApplyLeavesTheKeyToTheRowsBelow) {
    FakePlatform fake;
    RecordingTable keys;
    keys.answers[ShortcutAction::openSelected] = Outcome::notMine;
    auto [ran, consumed] = keys.press(KeyCode::returnKey, 0);
    EXPECT_EQ(ran, (std::vector<std::string>{"openSelected", "search"}));
    EXPECT_TRUE(consumed);

    keys.answers[ShortcutAction::back] = Outcome::passedOn;
    std::tie(ran, consumed) = keys.press(KeyCode::leftArrow, 0);
    EXPECT_EQ(ran, (std::vector<std::string>{"back"})) << "passed on ends the search";
    EXPECT_FALSE(consumed);
}

class PanelKeys_ : public ControllerTestBase {
  protected:
    PanelKeys_() { threeWindows(); }
};

TEST_F(PanelKeys_, ABindingChangedWhileThePanelShowsTakesEffect) {
    summon();
    ASSERT_EQ(selectedTitle(), "Inbox");
    ShortcutStore::set({KeyCode::d, CarbonModifiers::option | CarbonModifiers::shift},
                       ShortcutAction::moveDown);
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(press(KeyCode::s, ModifierFlags::option)) << "the old binding is free again";
    EXPECT_EQ(selectedTitle(), "Inbox");
    EXPECT_TRUE(press(KeyCode::d, ModifierFlags::option | ModifierFlags::shift));
    EXPECT_EQ(selectedTitle(), "Notes");
}

TEST_F(PanelKeys_, LeftoverKeysTypeIntoTheSearch) {
    summon();
    auto model = controller->viewModel();
    controller->typeText({KeyCode::a, ModifierFlags::option, "in"});
    controller->typeText({KeyCode::a, 0, "\xC3\xA9"});  // é, two bytes
    EXPECT_EQ(model->query(), "in\xC3\xA9");
    EXPECT_TRUE(model->engaged()) << "typing engages the panel";
    controller->typeText({KeyCode::deleteBackward, 0, "\x7F"});
    EXPECT_EQ(model->query(), "in") << "Delete removes one whole character";
    controller->typeText({KeyCode::escape, 0, "\x1B"});
    EXPECT_EQ(model->query(), "in") << "control characters are not text";
    EXPECT_EQ(selectedTitle(), "Inbox");
}

}  // namespace
}  // namespace vantlo
