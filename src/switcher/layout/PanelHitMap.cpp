#include "switcher/layout/PanelHitMap.h"

namespace vantlo {
namespace {

bool isEmpty(const Rect& r) {
    return r.width <= 0 || r.height <= 0;
}

// Inclusive of the grown edges, as a finger on the border still counts.
bool within(const Rect& r, Point p, double dx, double dy) {
    return !isEmpty(r) && p.x >= r.minX() - dx && p.x <= r.maxX() + dx && p.y >= r.minY() - dy &&
           p.y <= r.maxY() + dy;
}

}  // namespace

PanelHit PanelHitMap::hitAt(Point point) const {
    using Part = PanelHit::Part;
    if (within(guideNext, point, 0, 0))
        return {Part::guideNext, -1};
    if (within(guideSkip, point, 0, 0))
        return {Part::guideSkip, -1};
    if (within(backChip, point, 0, 0))
        return {Part::back, -1};
    if (within(pill, point, 0, 0))
        return {Part::pill, -1};
    if (!within(list, point, 0, 0))
        return {};
    for (const RowTarget& target : rows) {
        if (!within(target.row, point, rowSideGrace, rowEndGrace))
            continue;
        if (within(target.close, point, closeGrace, closeGrace))
            return {Part::close, target.index};
        if (within(target.badge, point, badgeGrace, badgeGrace))
            return {Part::badge, target.index};
        return {Part::row, target.index};
    }
    return {};
}

}  // namespace vantlo
