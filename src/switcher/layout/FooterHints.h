#pragma once
// The keyboard hints at the foot of the switcher panel: which keys do what in the panel's current
// state, shown with the keys the user has actually bound, written as the platform writes keys.

#include <string>
#include <vector>

#include "input/ShortcutStore.h"

namespace vantlo {

struct FooterHint {
    std::string key;    // the key text, e.g. "↩" or "⌥S" ("Return", "Alt+S" on Linux)
    std::string label;  // the localized label, e.g. "Search"
    bool operator==(const FooterHint&) const = default;
};

// The display strings of the bindings the panel names: the footer's, and the close button's
// (its tooltip), with the plain keys the footer names beside them.
struct FooterBindings {
    std::string search;
    std::string moveDown;
    std::string back;
    std::string enterGroup;
    std::string desktop;
    std::string cancel;
    std::string openSelected;
    std::string closeSelected;
    std::string tab = "⇥";
    std::string down = "↓";
};

struct FooterState {
    bool searchActive = false;
    bool inDetailView = false;
    bool selectedIsGroup = false;
};

namespace FooterHints {

std::vector<FooterHint> hints(const FooterState& state, const FooterBindings& bindings);
// The display strings of the resolved in-panel bindings in `style`.
FooterBindings bindings(const ShortcutTable& resolved, KeyLabelStyle style = shownKeyLabelStyle());
// The close button's tooltip, "Close (⌥X)" with the default binding (localized).
std::string closeTooltip(const FooterBindings& bindings);

}  // namespace FooterHints
}  // namespace vantlo
