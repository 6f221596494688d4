#include "switcher/layout/PanelWaveShape.h"

#include <algorithm>

namespace vantlo {

double PanelWaveShape::clampedCenterY(const Rect& rect) const {
    const double keepOff = cornerRadius + halfWaveHeight;
    // In a rectangle too short for both bounds the lower one wins.
    return std::min(std::max(rect.minY() + keepOff, selectedCenterY), rect.maxY() - keepOff);
}

Path PanelWaveShape::path(const Rect& rect) const {
    const double y = clampedCenterY(rect);
    const double top = y - halfWaveHeight;
    const double bottom = y + halfWaveHeight;
    const double outer = hugsLeftEdge ? rect.minX() : rect.maxX();
    const double inner = hugsLeftEdge ? rect.maxX() - outset : rect.minX() + outset;
    const double crest = hugsLeftEdge ? inner + crestReach : inner - crestReach;
    const double d = hugsLeftEdge ? -cornerRadius : cornerRadius;
    const double r = cornerRadius;

    Path path;
    path.moveTo({outer, rect.minY()});
    path.lineTo({inner + d, rect.minY()});
    path.quadTo({inner, rect.minY()}, {inner, rect.minY() + r});
    path.lineTo({inner, std::max(top, rect.minY() + r)});
    path.curveTo({inner, y - 37.12}, {crest, y - 26.68}, {crest, y});
    path.curveTo({crest, y + 26.68}, {inner, y + 37.12},
                 {inner, std::min(bottom, rect.maxY() - r)});
    path.lineTo({inner, rect.maxY() - r});
    path.quadTo({inner, rect.maxY()}, {inner + d, rect.maxY()});
    path.lineTo({outer, rect.maxY()});
    path.close();
    return path;
}

}  // namespace vantlo
