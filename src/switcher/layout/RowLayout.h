#pragma once
// Where the parts of one switcher row sit, in the row's coordinates: the icon block at the
// leading side (after the indent guide of a tab inside its group), the close button's square at
// the trailing side, the count badge before it, a window's picture before that, and the texts in
// what is left. The badge's size follows its text, which only the toolkit can measure.

#include "platform/Geometry.h"
#include "switcher/layout/SwitcherMetrics.h"

namespace vantlo {

struct RowLayout {
    Rect row;
    Rect icon;
    Rect text;
    // Empty without a count badge.
    Rect badge;
    // The close button's square; a row that offers no close button keeps it free all the same.
    Rect close;
    // Empty without a window picture.
    Rect thumbnail;

    // `badgeSize` is empty for a row without a count.
    static RowLayout make(const Rect& row, RowKind kind, bool inGroupDetail, Size badgeSize,
                          bool hasThumbnail, const SwitcherMetrics& metrics);
    // The same parts grown by `factor` from the middle of the row's leading edge, as the
    // selected row is drawn.
    RowLayout grown(double factor) const;

    static constexpr double thumbnailWidth = 56;
    static constexpr double thumbnailHeight = 36;
    // The indent guide of a tab inside its group: its leading gap and its width.
    static constexpr double indentGap = 8;
    static constexpr double indentWidth = 2;
};

}  // namespace vantlo
