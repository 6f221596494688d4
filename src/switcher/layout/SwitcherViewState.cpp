#include "switcher/layout/SwitcherViewState.h"

#include <algorithm>

#include "switcher/SearchViewModel.h"
#include "switcher/layout/SwitcherLayout.h"

namespace vantlo {

std::optional<int> SwitcherViewState::clampedSelection() const {
    if (rows.empty())
        return std::nullopt;
    return std::clamp(selectedIndex, 0, visibleCount() - 1);
}

bool SwitcherViewState::selectedIsGroup() const {
    const auto index = clampedSelection();
    if (!index)
        return false;
    const auto kind = rows[*index].kind();
    return kind == SwitchItem::Kind::tabGroup || kind == SwitchItem::Kind::windowGroup;
}

bool SwitcherViewState::isClosing(const SwitchItem& item) const {
    return closingKeys.count(item.mruKey()) > 0;
}

bool SwitcherViewState::usesWindowedList() const {
    return mode == Mode::windowGroup && SwitcherLayout::usesVirtualWindowList(visibleCount());
}

SwitcherViewState SwitcherViewState::from(SearchViewModel& model) {
    SwitcherViewState state;
    if (const auto& group = model.activeTabGroup()) {
        state.mode = Mode::tabGroup;
        for (const TabItem& tab : model.filteredTabs(*group))
            state.rows.emplace_back(tab);
        state.groupName = group->appName;
        state.groupIcon = group->appIcon;
    } else if (const auto& group = model.activeWindowGroup()) {
        state.mode = Mode::windowGroup;
        for (const WindowItem& window : model.filteredWindows(*group))
            state.rows.emplace_back(window);
        state.groupName = group->appName;
        state.groupIcon = group->appIcon;
    } else {
        state.rows = model.filtered();
    }
    state.selectedIndex = model.selectedIndex();
    state.query = model.query();
    state.searchActive = model.searchActive();
    state.keyboardClaimed = model.keyboardClaimed();
    state.enterPulse = model.enterPulse();
    state.hasItems = !model.items().empty();
    state.closingKeys = model.closingKeys();
    return state;
}

RowKind rowKind(const SwitchItem& item) {
    switch (item.kind()) {
        case SwitchItem::Kind::window:
            return RowKind::window;
        case SwitchItem::Kind::tab:
            return RowKind::tab;
        case SwitchItem::Kind::tabGroup:
            return RowKind::tabGroup;
        case SwitchItem::Kind::windowGroup:
            return RowKind::windowGroup;
        case SwitchItem::Kind::app:
            return RowKind::app;
    }
    return RowKind::window;
}

}  // namespace vantlo
