#include "input/ShortcutConflicts.h"

#include "settings/Localization.h"

namespace vantlo::ShortcutConflicts {
namespace {

bool mayShareBinding(ShortcutAction a, ShortcutAction b) {
    auto isReturnPair = [](ShortcutAction x, ShortcutAction y) {
        return x == ShortcutAction::openSelected && y == ShortcutAction::search;
    };
    return isReturnPair(a, b) || isReturnPair(b, a);
}

}  // namespace

std::optional<ShortcutAction> conflictingAction(ShortcutAction action,
                                                const HotkeyConfig& candidate,
                                                const ShortcutTable& table) {
    for (auto other : ShortcutActions::allCases()) {
        if (other == action || mayShareBinding(action, other))
            continue;
        auto it = table.find(other);
        if (it != table.end() && it->second == candidate)
            return other;
    }
    return std::nullopt;
}

std::string caption(ShortcutAction action, const ShortcutTable& table) {
    auto own = table.find(action);
    if (own != table.end()) {
        if (auto other = conflictingAction(action, own->second, table))
            return localizedFormat("Conflicts with %@", {ShortcutActions::title(*other)});
    }
    return ShortcutActions::detail(action);
}

}  // namespace vantlo::ShortcutConflicts
