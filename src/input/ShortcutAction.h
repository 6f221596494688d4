#pragma once
// The nine actions the keyboard can trigger while the switcher panel shows, in their fixed order
// (the order of every list, section and conflict search).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HotkeyConfig.h"

namespace vantlo {

enum class ShortcutAction {
    moveUp,
    moveDown,
    openSelected,
    search,
    cancel,
    closeSelected,
    enterGroup,
    back,
    desktop,
};

namespace ShortcutActions {
const std::vector<ShortcutAction>& allCases();
// The stored identity: "moveUp", "moveDown", ...
std::string rawValue(ShortcutAction action);
// Exact, case-sensitive; any other text is no action.
std::optional<ShortcutAction> fromRawValue(std::string_view raw);
// Translated title and one-line description.
std::string title(ShortcutAction action);
std::string detail(ShortcutAction action);
HotkeyConfig defaultBinding(ShortcutAction action);
}  // namespace ShortcutActions

}  // namespace vantlo
