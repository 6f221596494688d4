#include "switcher/layout/SwitcherLayout.h"

#include <gtest/gtest.h>

namespace vantlo {
namespace {

TEST(SwitcherLayout, EstimatedWaveCentreFollowsRowPitch) {
    for (int index = 0; index < 12; ++index) {
        EXPECT_DOUBLE_EQ(SwitcherLayout::estimatedPanelWaveY(false, index), 87 + 50 * index)
            << "index " << index;
    }
    // Detail lists sit under the taller group header and space rows wider.
    EXPECT_DOUBLE_EQ(SwitcherLayout::estimatedPanelWaveY(true, 0), 150 + 8 + 24);
    EXPECT_DOUBLE_EQ(SwitcherLayout::estimatedPanelWaveY(true, 3), 182 + 52 * 3);
    // A negative selection counts as the first row.
    EXPECT_DOUBLE_EQ(SwitcherLayout::estimatedPanelWaveY(false, -4), 87);
}

TEST(SwitcherLayout, WindowedRangeKeepsSelectionNearTheMiddle) {
    EXPECT_EQ(SwitcherLayout::windowedRange(20, 40, 11), (IndexRange{15, 26}));
    EXPECT_EQ(SwitcherLayout::windowedRange(0, 40, 11), (IndexRange{0, 11}));
    EXPECT_EQ(SwitcherLayout::windowedRange(39, 40, 11), (IndexRange{29, 40}));
    EXPECT_EQ(SwitcherLayout::windowedRange(5, 25, 11), (IndexRange{0, 11}));
    EXPECT_EQ(SwitcherLayout::windowedRange(6, 25, 11), (IndexRange{1, 12}));
}

TEST(SwitcherLayout, WindowedRangeClampsOutOfRangeInput) {
    EXPECT_TRUE(SwitcherLayout::windowedRange(3, 0, 11).empty());
    EXPECT_TRUE(SwitcherLayout::windowedRange(0, -2, 11).empty());
    EXPECT_EQ(SwitcherLayout::windowedRange(-7, 40, 11), (IndexRange{0, 11}));
    EXPECT_EQ(SwitcherLayout::windowedRange(400, 40, 11), (IndexRange{29, 40}));
    // Fewer rows than the window: all of them.
    EXPECT_EQ(SwitcherLayout::windowedRange(2, 4, 11), (IndexRange{0, 4}));
}

TEST(SwitcherLayout, LongWindowGroupsSwitchToTheWindowedListAtNineteen) {
    EXPECT_FALSE(SwitcherLayout::usesVirtualWindowList(18));
    EXPECT_TRUE(SwitcherLayout::usesVirtualWindowList(19));
}

}  // namespace
}  // namespace vantlo
