#include "input/ShortcutAction.h"

#include <array>

#include "settings/Localization.h"

namespace vantlo::ShortcutActions {
namespace {

struct ActionInfo {
    ShortcutAction action;
    const char* raw;
    HotkeyConfig binding;
};

// Titles and descriptions stay in the switch statements below so every text is a literal the
// translation check can find.
constexpr std::array<ActionInfo, 9> infos{{
    {ShortcutAction::moveUp, "moveUp", {KeyCode::w, CarbonModifiers::option}},
    {ShortcutAction::moveDown, "moveDown", {KeyCode::s, CarbonModifiers::option}},
    {ShortcutAction::openSelected, "openSelected", {KeyCode::returnKey, CarbonModifiers::none}},
    {ShortcutAction::search, "search", {KeyCode::returnKey, CarbonModifiers::none}},
    {ShortcutAction::cancel, "cancel", {KeyCode::escape, CarbonModifiers::option}},
    {ShortcutAction::closeSelected, "closeSelected", {KeyCode::x, CarbonModifiers::option}},
    {ShortcutAction::enterGroup, "enterGroup", {KeyCode::d, CarbonModifiers::option}},
    {ShortcutAction::back, "back", {KeyCode::a, CarbonModifiers::option}},
    {ShortcutAction::desktop, "desktop", {KeyCode::q, CarbonModifiers::option}},
}};

const ActionInfo& info(ShortcutAction action) {
    return infos[static_cast<std::size_t>(action)];
}

}  // namespace

const std::vector<ShortcutAction>& allCases() {
    static const std::vector<ShortcutAction> actions = [] {
        std::vector<ShortcutAction> all;
        for (const auto& entry : infos)
            all.push_back(entry.action);
        return all;
    }();
    return actions;
}

std::string rawValue(ShortcutAction action) {
    return info(action).raw;
}

std::optional<ShortcutAction> fromRawValue(std::string_view raw) {
    for (const auto& entry : infos)
        if (raw == entry.raw)
            return entry.action;
    return std::nullopt;
}

std::string title(ShortcutAction action) {
    switch (action) {
        case ShortcutAction::moveUp:
            return localized("Move up");
        case ShortcutAction::moveDown:
            return localized("Move down");
        case ShortcutAction::openSelected:
            return localized("Open selected");
        case ShortcutAction::search:
            return localized("Search");
        case ShortcutAction::cancel:
            return localized("Cancel");
        case ShortcutAction::closeSelected:
            return localized("Close selected");
        case ShortcutAction::enterGroup:
            return localized("Enter group");
        case ShortcutAction::back:
            return localized("Back");
        case ShortcutAction::desktop:
            return localized("Desktop");
    }
    return {};
}

std::string detail(ShortcutAction action) {
    switch (action) {
        case ShortcutAction::moveUp:
        case ShortcutAction::moveDown:
            return localized("Moves selection in the switcher.");
        case ShortcutAction::openSelected:
            return localized("Opens the currently selected item.");
        case ShortcutAction::search:
            return localized("Starts searching when the search field is inactive.");
        case ShortcutAction::cancel:
            return localized("Closes the switcher without opening anything.");
        case ShortcutAction::closeSelected:
            return localized("Closes the selected tab, window, or app when available.");
        case ShortcutAction::enterGroup:
            return localized("Opens the selected tab or window group.");
        case ShortcutAction::back:
            return localized("Returns from a group detail view.");
        case ShortcutAction::desktop:
            return localized("Shows the desktop.");
    }
    return {};
}

HotkeyConfig defaultBinding(ShortcutAction action) {
    return info(action).binding;
}

}  // namespace vantlo::ShortcutActions
