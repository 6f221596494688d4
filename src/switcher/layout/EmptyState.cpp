#include "switcher/layout/EmptyState.h"

#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {
namespace {

// What lets Vantlo read tabs, as this platform asks the user for it.
std::string browserAccessHint() {
    bool extension =
        hasPlatform() && platform().facts.browserTabAccess == BrowserTabAccess::browserExtension;
    // clang-format off
    return extension
        ? localized("Add the Vantlo Tabs extension to your browser to list its tabs: run vantlo browser install for the steps.")
        : localized("Grant Automation access when prompted, then re-open Vantlo.");
    // clang-format on
}

// What lets Vantlo see windows at all, as this platform needs it.
std::string windowAccessHint() {
    bool windowManager =
        hasPlatform() && platform().facts.windowAccess == WindowAccess::windowManager;
    // clang-format off
    return windowManager
        ? localized("Start your desktop's window manager (for example openbox, xfwm4, marco or kwin_x11).")
        : localized("Enable Accessibility for Vantlo in System Settings → Privacy & Security.");
    // clang-format on
}

}  // namespace

std::optional<EmptyState> EmptyState::make(bool hasItems, int visibleCount,
                                           const std::string& query, bool accessibilityTrusted) {
    if (!hasItems) {
        EmptyState state;
        state.symbol = "lock.shield";
        state.title = localized("No windows or tabs available");
        state.hint = accessibilityTrusted ? browserAccessHint() : windowAccessHint();
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
