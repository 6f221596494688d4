#include "switcher/layout/ScrollKeeper.h"

#include <gtest/gtest.h>

namespace vantlo {
namespace {

TEST(ScrollKeeper, ShortListsNeverScroll) {
    ScrollKeeper keeper;
    for (int index = 0; index < 8; ++index)
        EXPECT_FALSE(keeper.selectionChanged(index, 8, true)) << "index " << index;
}

TEST(ScrollKeeper, NineRowsScrollOnlyAtTheEnds) {
    ScrollKeeper keeper;
    std::vector<int> scrolled;
    for (int index : {0, 1, 2, 1, 7, 8, 7})
        if (keeper.selectionChanged(index, 9, true))
            scrolled.push_back(index);
    // 2 is one away from where the list last scrolled (1); 7 and 8 are the last two rows.
    EXPECT_EQ(scrolled, (std::vector<int>{0, 1, 1, 7, 8, 7}));
}

TEST(ScrollKeeper, SteppingDownScrollsEverySecondStepAndAtTheEnd) {
    ScrollKeeper keeper;
    std::vector<int> scrolled;
    for (int index = 0; index < 20; ++index) {
        auto request = keeper.selectionChanged(index, 20, true);
        if (!request)
            continue;
        scrolled.push_back(index);
        EXPECT_EQ(request->anchor, ScrollRequest::Anchor::lowerPart) << "index " << index;
        EXPECT_DOUBLE_EQ(request->anchorFraction(), 0.78);
    }
    EXPECT_EQ(scrolled, (std::vector<int>{0, 1, 3, 5, 7, 9, 11, 13, 15, 17, 18, 19}));
}

TEST(ScrollKeeper, MovingUpAnchorsAtTheTop) {
    ScrollKeeper keeper;
    ASSERT_TRUE(keeper.selectionChanged(15, 20, true));
    auto request = keeper.selectionChanged(12, 20, true);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->anchor, ScrollRequest::Anchor::top);
    EXPECT_EQ(keeper.lastScrollIndex(), 12);
}

TEST(ScrollKeeper, PointerSelectionAndOutOfRangeIndicesAreIgnored) {
    ScrollKeeper keeper;
    EXPECT_FALSE(keeper.selectionChanged(12, 20, false));
    EXPECT_FALSE(keeper.selectionChanged(-1, 20, true));
    EXPECT_FALSE(keeper.selectionChanged(20, 20, true));
    EXPECT_EQ(keeper.lastScrollIndex(), 0);
}

}  // namespace
}  // namespace vantlo
