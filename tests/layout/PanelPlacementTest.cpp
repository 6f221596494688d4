#include "switcher/layout/PanelPlacement.h"

#include <gtest/gtest.h>

namespace vantlo {
namespace {

Screen screen(Rect frame, Rect visible) {
    return Screen{frame, visible, 1.0};
}

TEST(PanelPlacement, RowsClampBetweenFiveAndEleven) {
    EXPECT_DOUBLE_EQ(PanelPlacement::contentHeight(3, 1.0), 24 + 58 + 48 * 5 + 10);
    EXPECT_DOUBLE_EQ(PanelPlacement::contentHeight(0, 1.0), 24 + 58 + 48 * 5 + 10);
    EXPECT_DOUBLE_EQ(PanelPlacement::contentHeight(8, 1.0), 24 + 58 + 48 * 8 + 10);
    EXPECT_DOUBLE_EQ(PanelPlacement::contentHeight(30, 1.0), 24 + 58 + 48 * 11 + 10);
    EXPECT_NEAR(PanelPlacement::contentHeight(30, 1.16), (24 + 58 + 48 * 11) * 1.16 + 10, 1e-9);
}

TEST(PanelPlacement, HeightIsCappedByScreenShareAndAbsoluteLimit) {
    const Rect tall{0, 0, 2560, 1400};
    // 11 rows want 620 at scale 1: exactly the cap.
    EXPECT_DOUBLE_EQ(PanelPlacement::frame(tall, 354, 1.0, 30, false).target.height, 620);
    // Small text: 11 rows want 559; the absolute cap is 620 × 0.9 = 558.
    EXPECT_NEAR(PanelPlacement::frame(tall, 354, 0.9, 30, false).target.height, 558, 1e-9);
    // Large text: 717.6 wanted, under the cap of 719.2.
    EXPECT_NEAR(PanelPlacement::frame(tall, 354, 1.16, 30, false).target.height, 717.6, 1e-9);
    // A short screen: 82 % of its visible height wins.
    const Rect shortScreen{0, 30, 1280, 600};
    EXPECT_NEAR(PanelPlacement::frame(shortScreen, 354, 1.0, 30, false).target.height, 492, 1e-9);
    // Few items: the five-row height, under both caps.
    EXPECT_DOUBLE_EQ(PanelPlacement::frame(tall, 354, 1.0, 3, false).target.height, 332);
}

TEST(PanelPlacement, RightEdgePanelHugsTheVisibleFrameAndSlidesFromOutside) {
    // A dock on the right leaves the visible frame 60 points narrower.
    const Rect visible{0, 24, 1860, 1056};
    const PanelFrame f = PanelPlacement::frame(visible, 354, 1.0, 30, false);
    EXPECT_DOUBLE_EQ(f.target.maxX(), 1860);
    EXPECT_DOUBLE_EQ(f.target.width, 354);
    EXPECT_DOUBLE_EQ(f.target.midY(), visible.midY());
    EXPECT_DOUBLE_EQ(f.start.x, f.target.x + 42);
    EXPECT_DOUBLE_EQ(f.start.y, f.target.y);
    const Rect out = PanelPlacement::slideOutFrame(f.target, false);
    EXPECT_DOUBLE_EQ(out.x, f.target.x + 354 + 16);
}

TEST(PanelPlacement, LeftEdgePanelMirrorsTheRightOne) {
    const Rect visible{1920, 0, 1280, 1024};
    const PanelFrame f = PanelPlacement::frame(visible, 304, 0.9, 8, true);
    EXPECT_DOUBLE_EQ(f.target.x, 1920);
    EXPECT_DOUBLE_EQ(f.start.x, 1920 - 42);
    EXPECT_NEAR(f.target.height, (24 + 58 + 48 * 8) * 0.9 + 10, 1e-9);
    EXPECT_DOUBLE_EQ(f.target.y, 512 - f.target.height / 2);
    EXPECT_DOUBLE_EQ(PanelPlacement::slideOutFrame(f.target, true).x, 1920 - 304 - 16);
}

TEST(PanelPlacement, ScreenUnderThePointerOnlyWhenAsked) {
    const std::vector<Screen> screens = {
        screen({0, 0, 1920, 1080}, {0, 32, 1920, 1048}),
        screen({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}),
    };
    const Point onSecond{2000, 500};
    EXPECT_EQ(PanelPlacement::chooseScreen(screens, onSecond, true, std::nullopt)->frame.x, 1920);
    EXPECT_EQ(PanelPlacement::chooseScreen(screens, onSecond, false, std::nullopt)->frame.x, 0);
    // A pointer off every screen falls back to the first.
    EXPECT_EQ(PanelPlacement::chooseScreen(screens, {-5, -5}, true, std::nullopt)->frame.x, 0);
    // No screens: the fallback, else nothing.
    const Screen main = screen({0, 0, 800, 600}, {0, 0, 800, 600});
    EXPECT_EQ(PanelPlacement::chooseScreen({}, onSecond, true, main)->frame.width, 800);
    EXPECT_FALSE(PanelPlacement::chooseScreen({}, onSecond, true, std::nullopt));
}

}  // namespace
}  // namespace vantlo
