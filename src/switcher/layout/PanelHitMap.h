#pragma once
// Where the panel's pointer targets are on screen right now, in panel coordinates: the rows the
// list shows (after scrolling) with their count badges and close buttons, the back chip, the
// pill and the guide card's buttons. The view that paints the panel fills it in; whoever receives
// the pointer asks it what a point hits, so clicks mean the same whether the panel's own widgets
// or a grab delivered them.

#include <vector>

#include "platform/Geometry.h"
#include "switcher/layout/PanelHit.h"

namespace vantlo {

struct PanelHitMap {
    struct RowTarget {
        int index = 0;
        Rect row;
        // Empty when the row has no count badge, or offers no close button.
        Rect badge;
        Rect close;
    };

    // Rows answer only inside the list's area (a row half under the header is not hit there).
    Rect list;
    std::vector<RowTarget> rows;
    // Empty when not shown.
    Rect backChip;
    Rect pill;
    Rect guideNext;
    Rect guideSkip;

    // The part under `point`. The guide card lies over everything; small controls answer a few
    // points beyond their drawn edge, and a row a little beyond its sides, so a hand that is
    // nearly on target still hits.
    PanelHit hitAt(Point point) const;

    // Grace around a row, its close button and its badge.
    static constexpr double rowSideGrace = 8;
    static constexpr double rowEndGrace = 1;
    static constexpr double closeGrace = 3;
    static constexpr double badgeGrace = 2;
};

}  // namespace vantlo
