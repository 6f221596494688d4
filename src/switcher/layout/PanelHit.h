#pragma once
// What part of the switcher panel lies under a point: a row (by its index in the visible list),
// a row's count badge or close button, the back chip of a group, the "Enter to search" pill, or
// one of the guide card's buttons.

namespace vantlo {

struct PanelHit {
    enum class Part { none, row, badge, close, back, pill, guideNext, guideSkip };

    Part part = Part::none;
    // The row's index in the visible list; -1 for parts that belong to no row.
    int index = -1;

    bool isRowPart() const { return index >= 0; }
    bool operator==(const PanelHit&) const = default;
};

}  // namespace vantlo
