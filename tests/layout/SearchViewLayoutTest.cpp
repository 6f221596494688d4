#include "switcher/layout/SearchViewLayout.h"

#include <gtest/gtest.h>

namespace vantlo {
namespace {

constexpr Size kPanel{354, 620};

TEST(SearchViewLayout, MainListHeaderListAndFooterStackInsideTheContent) {
    const auto l = SearchViewLayout::make(kPanel, false, false, SwitcherMetrics(1.0), 0);
    // A right-edge panel waves on its left: the content starts after the 14-point strip.
    EXPECT_EQ(l.content, (Rect{14, 0, 340, 620}));
    EXPECT_EQ(l.searchRow, (Rect{28, 10, 312, 38}));
    EXPECT_EQ(l.pill, (Rect{110, 10, 148, 38})) << "the pill is centred in the content";
    // 10 above, the 38-point row, 9 below: the 57 the wave estimate assumes.
    EXPECT_EQ(l.header, (Rect{14, 0, 340, 57}));
    EXPECT_EQ(l.searchField, (Rect{60.5, 10, 267.5, 38})) << "after the 12.5-point glass";
    EXPECT_EQ(l.footer, (Rect{14, 592, 340, 24}));
    EXPECT_EQ(l.list, (Rect{14, 57, 340, 535})) << "the list fills header to footer";
    EXPECT_EQ(l.guideCard, (Rect{32, 62, 304, 0}));
    EXPECT_EQ(l.backChip, Rect{}) << "no group parts in the main list";
}

TEST(SearchViewLayout, GroupHeaderStacksBackChipIconTitleDividerAndSearchRow) {
    const auto l = SearchViewLayout::make(kPanel, false, true, SwitcherMetrics(1.0), 30);
    EXPECT_EQ(l.backChip, (Rect{28, 10, 64, 24})) << "the label's width plus 34";
    EXPECT_EQ(l.groupIcon, (Rect{32, 42, 46, 46}));
    EXPECT_EQ(l.groupTitle, (Rect{90, 42, 246, 46}));
    EXPECT_EQ(l.divider, (Rect{32, 98, 304, 1}));
    EXPECT_EQ(l.searchRow, (Rect{26, 109, 316, 38}));
    EXPECT_EQ(l.header, (Rect{14, 0, 340, 156}));
    EXPECT_EQ(l.list, (Rect{14, 156, 340, 436}));
    EXPECT_EQ(l.guideCard.y, 104) << "the card stands below the group's title";
    EXPECT_EQ(l.pill, Rect{});
}

TEST(SearchViewLayout, EdgeAndTextSizeMoveAndGrowTheParts) {
    const auto left = SearchViewLayout::make(kPanel, true, false, SwitcherMetrics(1.0), 0);
    EXPECT_EQ(left.content, (Rect{0, 0, 340, 620})) << "a left-edge panel waves on its right";
    EXPECT_EQ(left.searchRow.x, 14);

    const auto large = SearchViewLayout::make(kPanel, false, false, SwitcherMetrics(1.16), 0);
    EXPECT_DOUBLE_EQ(large.searchRow.height, 38 * 1.16);
    EXPECT_DOUBLE_EQ(large.header.height, 10 + 38 * 1.16 + 9);
    EXPECT_DOUBLE_EQ(large.footer.height, 24 * 1.16);
    EXPECT_DOUBLE_EQ(large.list.maxY(), large.footer.y);

    const auto tiny = SearchViewLayout::make({354, 60}, false, false, SwitcherMetrics(1.0), 0);
    EXPECT_EQ(tiny.list.height, 0) << "a panel shorter than header and footer has an empty list";
}

}  // namespace
}  // namespace vantlo
