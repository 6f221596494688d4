#pragma once
// The five panes of the preferences window, in sidebar order, with their stored names (the
// argument of `vantlo preferences PANE`), translated titles and sidebar symbols.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

enum class PreferencesPane { general, shortcuts, appearance, exceptions, feedback };

namespace PreferencesPanes {
const std::vector<PreferencesPane>& allCases();
std::string rawValue(PreferencesPane pane);  // "general", "shortcuts", ...
// Exact, case-sensitive; any other text is no pane.
std::optional<PreferencesPane> fromRawValue(std::string_view raw);
std::string title(PreferencesPane pane);   // translated "General", "Shortcuts", ...
std::string symbol(PreferencesPane pane);  // "gearshape", "keyboard", ...
}  // namespace PreferencesPanes

}  // namespace vantlo
