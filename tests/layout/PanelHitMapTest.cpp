#include "switcher/layout/PanelHitMap.h"

#include <gtest/gtest.h>

#include "switcher/layout/RowLayout.h"

namespace vantlo {
namespace {

using Part = PanelHit::Part;

// Two rows of a main list under a 57-point header, the second with a count badge; the first row
// offers a close button, the second does not.
PanelHitMap twoRows() {
    const SwitcherMetrics metrics;
    PanelHitMap map;
    map.list = {14, 57, 340, 500};
    map.pill = {110, 10, 148, 38};
    const Rect first{43, 63, 282, 48};
    const Rect second{43, 113, 282, 48};
    const RowLayout a = RowLayout::make(first, RowKind::window, false, {}, false, metrics);
    const RowLayout b =
        RowLayout::make(second, RowKind::windowGroup, false, {26, 22}, false, metrics);
    map.rows.push_back({0, first, {}, a.close});
    map.rows.push_back({1, second, b.badge, {}});
    return map;
}

TEST(RowLayout, PartsStandFromTheTrailingEndInward) {
    const SwitcherMetrics metrics;
    const Rect row{43, 63, 282, 48};
    const RowLayout plain = RowLayout::make(row, RowKind::window, false, {}, false, metrics);
    EXPECT_EQ(plain.close, (Rect{297, 77, 20, 20})) << "8 in from the end, centred";
    EXPECT_EQ(plain.badge, Rect{});
    EXPECT_EQ(plain.icon, (Rect{48, 71, 32, 32}));
    EXPECT_DOUBLE_EQ(plain.text.maxX(), plain.close.x - 9);

    const RowLayout full = RowLayout::make(row, RowKind::tabGroup, false, {26, 22}, true, metrics);
    EXPECT_EQ(full.badge, (Rect{262, 76, 26, 22})) << "the badge 9 before the close button";
    EXPECT_EQ(full.thumbnail, (Rect{197, 69, 56, 36})) << "the picture 9 before the badge";
    EXPECT_DOUBLE_EQ(full.text.maxX(), full.thumbnail.x - 9);

    const RowLayout indented = RowLayout::make(row, RowKind::tab, true, {}, false, metrics);
    EXPECT_DOUBLE_EQ(indented.icon.x, 43 + 3 + 8 + 2 + 9) << "a tab in its group is indented";

    const RowLayout large =
        RowLayout::make(row, RowKind::window, false, {}, false, SwitcherMetrics(1.16));
    EXPECT_DOUBLE_EQ(large.close.width, 20 * 1.16);
    const RowLayout selected = plain.grown(1.035);
    EXPECT_DOUBLE_EQ(selected.close.x, 43 + (297 - 43) * 1.035)
        << "the selected row's button is drawn further out, and hit there";
    EXPECT_DOUBLE_EQ(selected.close.midY(), plain.close.midY());
    EXPECT_DOUBLE_EQ(selected.icon.x, 43 + 5 * 1.035);
    EXPECT_EQ(selected.badge, Rect{}) << "an absent badge stays absent";
    const RowLayout narrow =
        RowLayout::make({0, 0, 60, 48}, RowKind::tabGroup, false, {26, 22}, true, metrics);
    EXPECT_EQ(narrow.text.width, 0) << "a row too narrow for its parts leaves no text, not less";
}

TEST(PanelHitMap, ClosePrecedesBadgePrecedesRow) {
    const PanelHitMap map = twoRows();
    const Rect close = map.rows[0].close;
    EXPECT_EQ(map.hitAt({close.midX(), close.midY()}), (PanelHit{Part::close, 0}));
    EXPECT_EQ(map.hitAt({close.maxX() + 3, close.midY()}), (PanelHit{Part::close, 0}))
        << "a close button answers 3 points beyond its edge";
    EXPECT_EQ(map.hitAt({close.maxX() + 4, close.midY()}), (PanelHit{Part::row, 0}));
    const Rect badge = map.rows[1].badge;
    EXPECT_EQ(map.hitAt({badge.midX(), badge.midY()}), (PanelHit{Part::badge, 1}));
    EXPECT_EQ(map.hitAt({badge.x - 2, badge.midY()}), (PanelHit{Part::badge, 1}));
    EXPECT_EQ(map.hitAt({close.midX(), 137}), (PanelHit{Part::row, 1}))
        << "a row without a close button is a row where the button would be";
    EXPECT_EQ(map.hitAt({100, 87}), (PanelHit{Part::row, 0}));
}

TEST(PanelHitMap, RowsAnswerOnlyInsideTheList) {
    PanelHitMap map = twoRows();
    EXPECT_EQ(map.hitAt({43 - 8, 87}), (PanelHit{Part::row, 0})) << "8 points beside a row";
    EXPECT_EQ(map.hitAt({43 - 9, 87}), PanelHit{});
    EXPECT_EQ(map.hitAt({100, 112}), (PanelHit{Part::row, 0}))
        << "the 2-point gap splits between the rows";
    EXPECT_EQ(map.hitAt({100, 170}), PanelHit{}) << "below the last row";
    // Scrolled: the first row is half under the header.
    map.rows[0].row.y = 40;
    EXPECT_EQ(map.hitAt({100, 50}), PanelHit{}) << "above the list nothing is a row";
    EXPECT_EQ(map.hitAt({100, 60}), (PanelHit{Part::row, 0}));
    EXPECT_EQ(map.hitAt({150, 20}), (PanelHit{Part::pill, -1}));
    EXPECT_EQ(PanelHitMap{}.hitAt({150, 20}), PanelHit{}) << "an empty map hits nothing";
}

TEST(PanelHitMap, TheGuideCardLiesOverEverything) {
    PanelHitMap map = twoRows();
    map.guideNext = {250, 80, 60, 24};
    map.guideSkip = {270, 20, 40, 20};
    map.backChip = {28, 10, 70, 24};
    EXPECT_EQ(map.hitAt({260, 90}), (PanelHit{Part::guideNext, -1}));
    EXPECT_EQ(map.hitAt({280, 30}), (PanelHit{Part::guideSkip, -1}));
    EXPECT_EQ(map.hitAt({30, 20}), (PanelHit{Part::back, -1}));
}

}  // namespace
}  // namespace vantlo
