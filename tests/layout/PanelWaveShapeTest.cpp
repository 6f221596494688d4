#include "switcher/layout/PanelWaveShape.h"

#include <gtest/gtest.h>

namespace vantlo {
namespace {

using Verb = PathCommand::Verb;

PathCommand move(double x, double y) {
    return {Verb::moveTo, {x, y}, {}, {}};
}
PathCommand line(double x, double y) {
    return {Verb::lineTo, {x, y}, {}, {}};
}
PathCommand quad(double cx, double cy, double x, double y) {
    return {Verb::quadTo, {x, y}, {cx, cy}, {}};
}
PathCommand curve(double c1x, double c1y, double c2x, double c2y, double x, double y) {
    return {Verb::curveTo, {x, y}, {c1x, c1y}, {c2x, c2y}};
}

TEST(PanelWaveShape, LeftEdgeOutlineBulgesIntoTheOutset) {
    PanelWaveShape shape{true, 300};
    Path path = shape.path({0, 0, 354, 620});
    const double inner = 340, crest = 351;
    std::vector<PathCommand> expected = {
        move(0, 0),
        line(312, 0),
        quad(inner, 0, inner, 28),
        line(inner, 242),
        curve(inner, 300 - 37.12, crest, 300 - 26.68, crest, 300),
        curve(crest, 300 + 26.68, inner, 300 + 37.12, inner, 358),
        line(inner, 592),
        quad(inner, 620, 312, 620),
        line(0, 620),
        {Verb::close, {}, {}, {}},
    };
    ASSERT_EQ(path.commands().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(path.commands()[i], expected[i]) << "command " << i;
    EXPECT_TRUE(path.isClosed());
}

TEST(PanelWaveShape, RightEdgeIsTheMirrorImage) {
    const Rect rect{20, 40, 354, 500};
    for (double centre : {0.0, 150.0, 290.0, 1000.0}) {
        Path left = PanelWaveShape{true, centre}.path(rect);
        Path right = PanelWaveShape{false, centre}.path(rect);
        ASSERT_EQ(left.commands().size(), right.commands().size());
        auto mirror = [&](Point p) { return Point{2 * rect.midX() - p.x, p.y}; };
        for (size_t i = 0; i < left.commands().size(); ++i) {
            const auto& l = left.commands()[i];
            const auto& r = right.commands()[i];
            EXPECT_EQ(l.verb, r.verb) << "centre " << centre << " command " << i;
            if (l.verb == Verb::close)
                continue;
            EXPECT_EQ(mirror(l.to), r.to) << "centre " << centre << " command " << i;
            if (l.verb == Verb::quadTo || l.verb == Verb::curveTo) {
                EXPECT_EQ(mirror(l.control1), r.control1) << "command " << i;
            }
            if (l.verb == Verb::curveTo) {
                EXPECT_EQ(mirror(l.control2), r.control2) << "command " << i;
            }
        }
    }
}

TEST(PanelWaveShape, WaveKeepsClearOfTheRoundedCorners) {
    const Rect rect{0, 100, 354, 400};
    EXPECT_DOUBLE_EQ((PanelWaveShape{false, 0}).clampedCenterY(rect), 186);
    EXPECT_DOUBLE_EQ((PanelWaveShape{false, 185}).clampedCenterY(rect), 186);
    EXPECT_DOUBLE_EQ((PanelWaveShape{false, 300}).clampedCenterY(rect), 300);
    EXPECT_DOUBLE_EQ((PanelWaveShape{false, 900}).clampedCenterY(rect), 414);
    // The crest of a centre far above sits where a centre at minY + 86 would put it.
    const PanelWaveShape above{true, -50};
    const PanelWaveShape atBound{true, 186};
    EXPECT_EQ(above.path(rect).commands(), atBound.path(rect).commands());
}

TEST(PanelWaveShape, ShortRectangleFavoursTheLowerBound) {
    const Rect rect{0, 0, 354, 150};
    EXPECT_DOUBLE_EQ((PanelWaveShape{true, 75}).clampedCenterY(rect), 150 - 86);
    EXPECT_DOUBLE_EQ((PanelWaveShape{true, 0}).clampedCenterY(rect), 150 - 86);
}

}  // namespace
}  // namespace vantlo
