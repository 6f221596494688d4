#include "input/ShortcutGroup.h"

#include "settings/Localization.h"

namespace vantlo::ShortcutGroups {
namespace {
// Actions before this position navigate; the rest act on the selection.
constexpr int firstActionPosition = 5;
}  // namespace

const std::vector<ShortcutGroup>& allCases() {
    static const std::vector<ShortcutGroup> groups{ShortcutGroup::navigation,
                                                   ShortcutGroup::actions};
    return groups;
}

std::string id(ShortcutGroup group) {
    return group == ShortcutGroup::navigation ? "navigation" : "actions";
}

std::string title(ShortcutGroup group) {
    return group == ShortcutGroup::navigation ? localized("Navigation") : localized("Actions");
}

ShortcutGroup groupOf(ShortcutAction action) {
    return static_cast<int>(action) < firstActionPosition ? ShortcutGroup::navigation
                                                          : ShortcutGroup::actions;
}

std::vector<ShortcutAction> members(ShortcutGroup group) {
    std::vector<ShortcutAction> result;
    for (auto action : ShortcutActions::allCases())
        if (groupOf(action) == group)
            result.push_back(action);
    return result;
}

}  // namespace vantlo::ShortcutGroups
