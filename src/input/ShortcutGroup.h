#pragma once
// The two sections the in-panel shortcuts are shown in: navigation (the first five actions) and
// actions (the last four).

#include <string>
#include <vector>

#include "input/ShortcutAction.h"

namespace vantlo {

enum class ShortcutGroup { navigation, actions };

namespace ShortcutGroups {
const std::vector<ShortcutGroup>& allCases();
// "navigation" / "actions".
std::string id(ShortcutGroup group);
// Translated "Navigation" / "Actions".
std::string title(ShortcutGroup group);
// The group an action belongs to, by its position in the action order.
ShortcutGroup groupOf(ShortcutAction action);
// The group's actions in action order.
std::vector<ShortcutAction> members(ShortcutGroup group);
}  // namespace ShortcutGroups

}  // namespace vantlo
