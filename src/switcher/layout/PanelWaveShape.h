#pragma once
// The outline of the switcher panel: a sheet whose screen-side corners are square and whose inner
// side has rounded corners and, opposite the selected row, a smooth outward wave that reaches
// into the 14-point strip beside the body.

#include "platform/Geometry.h"
#include "switcher/layout/Path.h"

namespace vantlo {

struct PanelWaveShape {
    // The panel hugs the screen's left edge (the wave is on its right side), else the right edge.
    bool hugsLeftEdge = false;
    double selectedCenterY = 0;

    // The closed outline in `rect`.
    Path path(const Rect& rect) const;
    // The wave's centre after clamping away from the rounded corners.
    double clampedCenterY(const Rect& rect) const;

    static constexpr double cornerRadius = 28;
    static constexpr double halfWaveHeight = 58;
    static constexpr double outset = 14;
    static constexpr double crestReach = 11;
};

}  // namespace vantlo
