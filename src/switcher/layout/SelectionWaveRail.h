#pragma once
// The short glowing arc beside the highlighted row: a 42-point curve bowing toward the list's
// leading side, centred on the selected row and kept 3 points inside its rectangle vertically.

#include "platform/Geometry.h"
#include "switcher/layout/Path.h"

namespace vantlo {

struct SelectionWaveRail {
    double selectedCenterY = 0;

    // One open curve, for stroking.
    Path path(const Rect& rect) const;
    // The centre the curve is drawn at after clamping into the rectangle.
    double clampedCenterY(const Rect& rect) const;

    static constexpr double halfLength = 21;
    static constexpr double edgeInset = 24;
};

}  // namespace vantlo
