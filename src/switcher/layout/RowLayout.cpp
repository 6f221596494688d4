#include "switcher/layout/RowLayout.h"

#include <algorithm>

namespace vantlo {

RowLayout RowLayout::make(const Rect& row, RowKind kind, bool inGroupDetail, Size badgeSize,
                          bool hasThumbnail, const SwitcherMetrics& metrics) {
    RowLayout l;
    l.row = row;
    const double midY = row.midY();
    const double gap = metrics.partSpacing();
    double left = row.x + metrics.leadingPadding(kind);
    if (kind == RowKind::tab && inGroupDetail)
        left += indentGap + indentWidth + gap;
    const double iconSide = metrics.iconSize();
    l.icon = {left, midY - iconSide / 2, iconSide, iconSide};

    double right = row.maxX() - metrics.trailingPadding();
    const double closeSide = metrics.closeButtonSide();
    l.close = {right - closeSide, midY - closeSide / 2, closeSide, closeSide};
    right = l.close.x - gap;
    if (badgeSize.width > 0 && badgeSize.height > 0) {
        l.badge = {right - badgeSize.width, midY - badgeSize.height / 2, badgeSize.width,
                   badgeSize.height};
        right = l.badge.x - gap;
    }
    if (hasThumbnail) {
        l.thumbnail = {right - thumbnailWidth, midY - thumbnailHeight / 2, thumbnailWidth,
                       thumbnailHeight};
        right = l.thumbnail.x - gap;
    }
    const double textLeft = l.icon.maxX() + gap;
    l.text = {textLeft, row.y, std::max(0.0, right - textLeft), row.height};
    return l;
}

RowLayout RowLayout::grown(double factor) const {
    const Point anchor{row.x, row.midY()};
    auto grow = [&](const Rect& r) {
        if (r.width <= 0 || r.height <= 0)
            return r;
        return Rect{anchor.x + (r.x - anchor.x) * factor, anchor.y + (r.y - anchor.y) * factor,
                    r.width * factor, r.height * factor};
    };
    RowLayout l;
    l.row = grow(row);
    l.icon = grow(icon);
    l.text = grow(text);
    l.badge = grow(badge);
    l.close = grow(close);
    l.thumbnail = grow(thumbnail);
    return l;
}

}  // namespace vantlo
