#pragma once
// The keyboard hints at the foot of the switcher panel: which keys do what in the panel's current
// state, shown with the keys the user has actually bound.

#include <string>
#include <vector>

#include "input/ShortcutStore.h"

namespace vantlo {

struct FooterHint {
    std::string key;    // the key text, e.g. "↩" or "⌥S"
    std::string label;  // the localized label, e.g. "Search"
    bool operator==(const FooterHint&) const = default;
};

// The display strings of the bindings the footer names.
struct FooterBindings {
    std::string search;
    std::string moveDown;
    std::string back;
    std::string enterGroup;
    std::string desktop;
    std::string cancel;
    std::string openSelected;
};

struct FooterState {
    bool searchActive = false;
    bool inDetailView = false;
    bool selectedIsGroup = false;
};

namespace FooterHints {

std::vector<FooterHint> hints(const FooterState& state, const FooterBindings& bindings);
// The display strings of the resolved in-panel bindings.
FooterBindings bindings(const ShortcutTable& resolved);

}  // namespace FooterHints
}  // namespace vantlo
