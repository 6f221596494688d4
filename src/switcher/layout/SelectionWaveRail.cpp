#include "switcher/layout/SelectionWaveRail.h"

#include <algorithm>

namespace vantlo {

double SelectionWaveRail::clampedCenterY(const Rect& rect) const {
    return std::min(rect.height - edgeInset, std::max(edgeInset, selectedCenterY));
}

Path SelectionWaveRail::path(const Rect& rect) const {
    const double y = clampedCenterY(rect);
    const double x = rect.minX() + 8;
    const double bow = rect.minX() + 2;
    Path path;
    path.moveTo({x, y - halfLength});
    path.curveTo({bow, y - 9}, {bow, y + 9}, {x, y + halfLength});
    return path;
}

}  // namespace vantlo
