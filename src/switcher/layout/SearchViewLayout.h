#pragma once
// Where the parts of the switcher view sit inside the panel, in points: the content beside the
// wave strip, the header (the "Enter to search" pill and the search row of the main list, or a
// group's back chip, icon, title, divider and search row), the list between header and footer,
// the footer of key hints and the place of the guide card. Rectangles a state does not use stay
// empty (all zero).

#include "platform/Geometry.h"
#include "switcher/layout/SwitcherMetrics.h"

namespace vantlo {

struct SearchViewLayout {
    Rect content;
    Rect header;
    Rect searchRow;
    // The text field inside the search row, after the magnifying glass.
    Rect searchField;
    Rect pill;
    Rect backChip;
    Rect groupIcon;
    Rect groupTitle;
    Rect divider;
    Rect list;
    Rect footer;
    // The guide card's top-left corner and width; its height follows its texts.
    Rect guideCard;

    // The layout of a panel of `panel` size. `backLabelWidth` is the width of the back chip's
    // label in its font, which only the toolkit can measure.
    static SearchViewLayout make(Size panel, bool hugsLeftEdge, bool inDetailView,
                                 const SwitcherMetrics& metrics, double backLabelWidth);
};

}  // namespace vantlo
