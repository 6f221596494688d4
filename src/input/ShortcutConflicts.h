#pragma once
// Which in-panel action already uses a key combination. Open selected and Search may share one
// (Return does both, depending on whether the search field is active); no other pair may.

#include <optional>
#include <string>

#include "input/ShortcutStore.h"

namespace vantlo::ShortcutConflicts {

// The first action in action order, other than `action`, whose binding in `table` equals
// `candidate`; nothing when there is none.
std::optional<ShortcutAction> conflictingAction(ShortcutAction action,
                                                const HotkeyConfig& candidate,
                                                const ShortcutTable& table);

// The line under an action's title in the shortcut list: "Conflicts with <title>" when its
// binding in `table` clashes with another action's, else the action's description.
std::string caption(ShortcutAction action, const ShortcutTable& table);

}  // namespace vantlo::ShortcutConflicts
