#pragma once
// What the switcher view draws in one frame, read from the search view model: the rows on
// screen, the selection, the search state and the group being shown. The view paints only this,
// so it can be drawn from any model state (including made-up ones in tests and screenshots).

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/SwitchItem.h"
#include "switcher/layout/SwitcherMetrics.h"

namespace vantlo {

class SearchViewModel;

struct SwitcherViewState {
    enum class Mode { mainList, tabGroup, windowGroup };

    Mode mode = Mode::mainList;
    // The visible list, detail rows wrapped as tab or window items.
    std::vector<SwitchItem> rows;
    int selectedIndex = 0;
    std::string query;
    bool searchActive = false;
    bool keyboardClaimed = false;
    int enterPulse = 0;
    // Whether the model holds any item at all (else the empty state explains why).
    bool hasItems = false;
    std::set<std::string> closingKeys;
    // The open group's application name and icon (detail modes only).
    std::string groupName;
    ImageRef groupIcon;

    bool isInDetailView() const { return mode != Mode::mainList; }
    // The search field shows instead of the pill.
    bool floatingActive() const { return !query.empty() || searchActive; }
    int visibleCount() const { return static_cast<int>(rows.size()); }
    // The selected index clamped into the list; nothing when the list is empty.
    std::optional<int> clampedSelection() const;
    bool selectedIsGroup() const;
    bool isClosing(const SwitchItem& item) const;
    // Whether the window group shows only a window of rows around the selection.
    bool usesWindowedList() const;

    // What the model shows right now.
    static SwitcherViewState from(SearchViewModel& model);
};

RowKind rowKind(const SwitchItem& item);

}  // namespace vantlo
