#include <gtest/gtest.h>

#include <set>

#include "switcher/ShowcaseDesktop.h"

namespace vantlo {
namespace {

TEST(ShowcaseDesktop, SelectionFromTheEnvironmentValue) {
    using ShowcaseDesktop::selectedIndex;
    EXPECT_EQ(selectedIndex(std::nullopt, 11), 5) << "absent means middle";
    EXPECT_EQ(selectedIndex("top", 11), 0);
    EXPECT_EQ(selectedIndex("bottom", 11), 10);
    EXPECT_EQ(selectedIndex("3", 11), 3);
    EXPECT_EQ(selectedIndex("99", 11), 10) << "clamped to the last index";
    EXPECT_EQ(selectedIndex("-2", 11), 0) << "clamped to the first index";
    EXPECT_EQ(selectedIndex("middle", 4), 3) << "min(count, 6) - 1";
    EXPECT_EQ(selectedIndex("3x", 11), 5) << "not a whole integer";
    EXPECT_EQ(selectedIndex("middle", 1), 0);
    EXPECT_EQ(selectedIndex("bottom", 0), 0);
}

TEST(ShowcaseDesktop, DesktopHasEveryKindAndSearchOnlyExtras) {
    std::set<SwitchItem::Kind> kinds;
    for (const auto& item : ShowcaseDesktop::defaultVisibleItems())
        kinds.insert(item.kind());
    EXPECT_TRUE(kinds.count(SwitchItem::Kind::window));
    EXPECT_TRUE(kinds.count(SwitchItem::Kind::tabGroup));
    EXPECT_TRUE(kinds.count(SwitchItem::Kind::windowGroup));
    EXPECT_TRUE(kinds.count(SwitchItem::Kind::app));
    int tabs = 0;
    for (const auto& item : ShowcaseDesktop::hiddenSearchOnlyItems())
        tabs += item.kind() == SwitchItem::Kind::tab;
    EXPECT_GE(tabs, 4);
    auto group = ShowcaseDesktop::largeWindowGroup(25);
    ASSERT_NE(group.windowGroup(), nullptr);
    EXPECT_EQ(group.windowGroup()->windows.size(), 25u);
}

}  // namespace
}  // namespace vantlo
