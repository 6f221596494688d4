#include "switcher/layout/SelectionWaveRail.h"

#include <gtest/gtest.h>

namespace vantlo {
namespace {

using Verb = PathCommand::Verb;

TEST(SelectionWaveRail, ArcBowsTowardTheLeadingSide) {
    SelectionWaveRail rail{120};
    Path path = rail.path({10, 0, 40, 400});
    ASSERT_EQ(path.commands().size(), 2u);
    EXPECT_FALSE(path.isClosed());
    EXPECT_EQ(path.commands()[0], (PathCommand{Verb::moveTo, {18, 99}, {}, {}}));
    EXPECT_EQ(path.commands()[1], (PathCommand{Verb::curveTo, {18, 141}, {12, 111}, {12, 129}}));
}

TEST(SelectionWaveRail, CentreStaysInsideTheRectangle) {
    Rect rect{0, 0, 20, 300};
    EXPECT_DOUBLE_EQ((SelectionWaveRail{-50}).clampedCenterY(rect), 24);
    EXPECT_DOUBLE_EQ((SelectionWaveRail{10}).clampedCenterY(rect), 24);
    EXPECT_DOUBLE_EQ((SelectionWaveRail{290}).clampedCenterY(rect), 276);
    EXPECT_DOUBLE_EQ((SelectionWaveRail{150}).clampedCenterY(rect), 150);
    // The arc's ends keep 3 points from the top and bottom.
    Path top = SelectionWaveRail{0}.path(rect);
    EXPECT_DOUBLE_EQ(top.commands()[0].to.y, 3);
    Path bottom = SelectionWaveRail{1000}.path(rect);
    EXPECT_DOUBLE_EQ(bottom.commands()[1].to.y, 297);
}

}  // namespace
}  // namespace vantlo
