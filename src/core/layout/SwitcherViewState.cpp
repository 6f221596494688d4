#include "core/layout/SwitcherViewState.h"

#include <algorithm>

#include "core/layout/SwitcherLayout.h"

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
