#include <gtest/gtest.h>

#include <string>

#include "input/HotkeyStore.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

Data bytes(const std::string& text) {
    return Data{{text.begin(), text.end()}};
}

TEST(HotkeyStore, FallsBackToOptionTabWithoutTouchingBadData) {
    FakePlatform fake;
    EXPECT_EQ(HotkeyStore::current(), HotkeyConfig::defaultActivation()) << "nothing stored";
    EXPECT_EQ(HotkeyStore::current().displayString(), "⌥⇥");

    const PropertyValue bad[] = {
        bytes(R"({"keyCode": 13})"),
        bytes("garbage"),
        PropertyValue(R"({"keyCode": 13, "carbonModifiers": 2048})"),  // a string, not data
        PropertyValue(13),
    };
    for (const auto& value : bad) {
        fake.defaults->set(HotkeyStore::defaultsKey, value);
        int writes = fake.defaults->writeCount();
        EXPECT_EQ(HotkeyStore::current(), HotkeyConfig::defaultActivation());
        EXPECT_EQ(fake.defaults->writeCount(), writes) << "the fallback is never written back";
        EXPECT_EQ(fake.defaults->object(HotkeyStore::defaultsKey), value);
    }
}

TEST(HotkeyStore, HotKeysThatWouldTakeAPlainKeyOrNoRealKeyAreRefused) {
    FakePlatform fake;
    const std::string refused[] = {
        R"({"keyCode": 48, "carbonModifiers": 0})",      // plain Tab, grabbed desktop-wide
        R"({"keyCode": 48, "carbonModifiers": 65536})",  // only bits that are no modifier
        R"({"keyCode": 128, "carbonModifiers": 2048})",
        R"({"keyCode": 4294967295, "carbonModifiers": 2048})",
    };
    for (const auto& text : refused) {
        fake.defaults->set(HotkeyStore::defaultsKey, bytes(text));
        EXPECT_EQ(HotkeyStore::current(), HotkeyConfig::defaultActivation()) << text;
        EXPECT_EQ(HotkeyStore::current(), HotkeyConfig::defaultActivation()) << text;
    }
    auto lines = fake.log->lines();
    ASSERT_EQ(lines.size(), 4u) << "one line per refused value, not per reading";
    EXPECT_EQ(lines[0], std::string("[Vantlo] The stored hot key ") + refused[0] +
                            " has no modifier or no real key; using the default instead.");

    fake.defaults->set(HotkeyStore::defaultsKey,
                       bytes(R"({"keyCode": 127, "carbonModifiers": 512})"));
    EXPECT_EQ(HotkeyStore::current(), (HotkeyConfig{127, CarbonModifiers::shift}))
        << "the highest key code with Shift alone is usable";
}

TEST(HotkeyStore, SetStoresJsonDataAndAnnouncesEveryChange) {
    FakePlatform fake;
    int notifications = 0;
    auto observer = fake.notifications->addObserver(HotkeyStore::changedNotification,
                                                    [&](const Notification& n) {
                                                        EXPECT_FALSE(n.object.has_value());
                                                        ++notifications;
                                                    });
    HotkeyConfig controlOptionCommandW{13, 0x1900};
    HotkeyStore::setCurrent(controlOptionCommandW);
    EXPECT_EQ(notifications, 1);
    auto stored = fake.defaults->data(HotkeyStore::defaultsKey);
    ASSERT_TRUE(stored.has_value()) << "stored as data";
    EXPECT_EQ(HotkeyConfig::decode(std::string(stored->bytes.begin(), stored->bytes.end())),
              controlOptionCommandW);
    EXPECT_EQ(HotkeyStore::current().displayString(), "⌃⌥⌘W");

    HotkeyStore::setCurrent(controlOptionCommandW);
    EXPECT_EQ(notifications, 2) << "posted even when the value did not change";
}

}  // namespace
}  // namespace vantlo
