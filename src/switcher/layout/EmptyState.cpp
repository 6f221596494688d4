#include "switcher/layout/EmptyState.h"

#include "settings/Localization.h"

namespace vantlo {

std::optional<EmptyState> EmptyState::make(bool hasItems, int visibleCount,
                                           const std::string& query, bool accessibilityTrusted) {
    if (!hasItems) {
        EmptyState state;
        state.symbol = "lock.shield";
        state.title = localized("No windows or tabs available");
        // clang-format off
        state.hint = accessibilityTrusted
            ? localized("Grant Automation access when prompted, then re-open Vantlo.")
            : localized("Enable Accessibility for Vantlo in System Settings → Privacy & Security.");
        // clang-format on
        state.noItems = true;
        return state;
    }
    if (visibleCount > 0)
        return std::nullopt;
    EmptyState state;
    state.symbol = "magnifyingglass";
    state.title = localizedFormat("No matches for \"%@\"", {query});
    return state;
}

}  // namespace vantlo
