#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "input/ShortcutGroup.h"
#include "input/ShortcutStore.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using A = ShortcutAction;

Data bytes(const std::string& text) {
    return Data{{text.begin(), text.end()}};
}

nlohmann::json storedJson(FakePlatform& fake) {
    auto data = fake.defaults->data(ShortcutStore::defaultsKey);
    if (!data)
        return nullptr;
    return nlohmann::json::parse(data->bytes.begin(), data->bytes.end());
}

struct ShortcutStoreTest : ::testing::Test {
    FakePlatform fake;
    int changes = 0;
    Subscription observer = fake.notifications->addObserver(
        ShortcutStore::changedNotification, [this](const Notification&) { ++changes; });
};

TEST(ShortcutAction, OrderRawValuesAndDefaults) {
    const char* raws[] = {"moveUp",        "moveDown",   "openSelected", "search", "cancel",
                          "closeSelected", "enterGroup", "back",         "desktop"};
    const char* shown[] = {"⌥W", "⌥S", "↩", "↩", "⌥⎋", "⌥X", "⌥D", "⌥A", "⌥Q"};
    ASSERT_EQ(ShortcutActions::allCases().size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        auto action = ShortcutActions::allCases()[i];
        EXPECT_EQ(ShortcutActions::rawValue(action), raws[i]);
        EXPECT_EQ(ShortcutActions::fromRawValue(raws[i]), action);
        EXPECT_EQ(ShortcutActions::defaultBinding(action).displayString(), shown[i]) << raws[i];
    }
    EXPECT_EQ(ShortcutActions::fromRawValue("MoveUp"), std::nullopt) << "case-sensitive";
    EXPECT_EQ(ShortcutActions::fromRawValue(""), std::nullopt);
}

TEST(ShortcutGroup, MembersFollowActionPosition) {
    using G = ShortcutGroup;
    EXPECT_EQ(ShortcutGroups::allCases(), (std::vector<G>{G::navigation, G::actions}));
    EXPECT_EQ(ShortcutGroups::id(G::navigation), "navigation");
    EXPECT_EQ(ShortcutGroups::id(G::actions), "actions");
    EXPECT_EQ(ShortcutGroups::members(G::navigation),
              (std::vector<A>{A::moveUp, A::moveDown, A::openSelected, A::search, A::cancel}));
    EXPECT_EQ(ShortcutGroups::members(G::actions),
              (std::vector<A>{A::closeSelected, A::enterGroup, A::back, A::desktop}));
}

TEST_F(ShortcutStoreTest, NothingStoredResolvesToDefaults) {
    EXPECT_TRUE(ShortcutStore::all().empty());
    auto resolved = ShortcutStore::allResolved();
    ASSERT_EQ(resolved.size(), 9u);
    for (auto action : ShortcutActions::allCases())
        EXPECT_EQ(resolved[action], ShortcutActions::defaultBinding(action))
            << ShortcutActions::rawValue(action);
}

TEST_F(ShortcutStoreTest, SetStoresOverrideEvenWhenEqualToDefault) {
    ShortcutStore::set({KeyCode::a, CarbonModifiers::option}, A::back);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ShortcutStore::all(), (ShortcutTable{{A::back, {0, 2048}}}));
    EXPECT_EQ(storedJson(fake),
              nlohmann::json::parse(R"({"back": {"keyCode": 0, "carbonModifiers": 2048}})"));

    ShortcutStore::set({KeyCode::downArrow, 0}, A::moveDown);
    ShortcutStore::set({KeyCode::upArrow, 0}, A::moveDown);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(ShortcutStore::all(),
              (ShortcutTable{{A::moveDown, {KeyCode::upArrow, 0}}, {A::back, {0, 2048}}}));
    EXPECT_EQ(ShortcutStore::binding(A::moveDown), (HotkeyConfig{KeyCode::upArrow, 0}));
    EXPECT_EQ(ShortcutStore::binding(A::moveUp), ShortcutActions::defaultBinding(A::moveUp));
}

TEST_F(ShortcutStoreTest, UnknownMembersAreIgnoredAndDroppedOnNextSave) {
    fake.defaults->set(ShortcutStore::defaultsKey,
                       bytes(R"({"zoom": {"keyCode": 6, "carbonModifiers": 256},
                                 "desktop": {"keyCode": 2, "carbonModifiers": 4096}})"));
    EXPECT_EQ(ShortcutStore::all(), (ShortcutTable{{A::desktop, {2, 4096}}}));
    EXPECT_EQ(ShortcutStore::binding(A::desktop).displayString(), "⌃D");

    ShortcutStore::set({KeyCode::x, CarbonModifiers::command}, A::closeSelected);
    auto json = storedJson(fake);
    EXPECT_FALSE(json.contains("zoom"));
    EXPECT_TRUE(json.contains("desktop"));
    EXPECT_TRUE(json.contains("closeSelected"));
}

TEST_F(ShortcutStoreTest, UndecodableRecordMeansNoOverridesUntilNextSet) {
    const PropertyValue bad[] = {
        bytes("{"),
        bytes(R"(["back"])"),
        bytes(R"({"back": {"keyCode": 0}, "desktop": {"keyCode": 2, "carbonModifiers": 0}})"),
        bytes(R"({"zoom": 5, "desktop": {"keyCode": 2, "carbonModifiers": 0}})"),
        PropertyValue(R"({"back": {"keyCode": 0, "carbonModifiers": 4096}})"),  // string
    };
    for (const auto& value : bad) {
        fake.defaults->set(ShortcutStore::defaultsKey, value);
        EXPECT_TRUE(ShortcutStore::all().empty());
        EXPECT_EQ(ShortcutStore::binding(A::back), ShortcutActions::defaultBinding(A::back));
        EXPECT_EQ(fake.defaults->object(ShortcutStore::defaultsKey), value) << "left in place";
    }
    ShortcutStore::set({KeyCode::q, CarbonModifiers::control}, A::desktop);
    EXPECT_EQ(ShortcutStore::all(), (ShortcutTable{{A::desktop, {KeyCode::q, 0x1000}}}));
}

TEST_F(ShortcutStoreTest, ResetsOneActionOrAll) {
    ShortcutStore::set({KeyCode::w, CarbonModifiers::command}, A::moveUp);
    ShortcutStore::set({KeyCode::s, CarbonModifiers::command}, A::moveDown);
    changes = 0;

    ShortcutStore::reset(A::moveUp);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ShortcutStore::all(), (ShortcutTable{{A::moveDown, {KeyCode::s, 0x0100}}}));

    ShortcutStore::resetAll();
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(fake.defaults->object(ShortcutStore::defaultsKey).has_value());
    for (auto [action, binding] : ShortcutStore::allResolved())
        EXPECT_EQ(binding, ShortcutActions::defaultBinding(action));
}

}  // namespace
}  // namespace vantlo
