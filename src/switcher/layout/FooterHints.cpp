#include "switcher/layout/FooterHints.h"

#include "platform/KeyCodeNames.h"
#include "settings/Localization.h"

namespace vantlo::FooterHints {

std::vector<FooterHint> hints(const FooterState& state, const FooterBindings& bindings) {
    if (state.searchActive) {
        return {
            {"A-Z", localized("Type")},
            {bindings.tab + "/" + bindings.down, localized("Move")},
            {bindings.openSelected, localized("Open")},
            {bindings.cancel, localized("Close")},
        };
    }
    std::vector<FooterHint> result = {
        {bindings.search, localized("Search")},
        {bindings.tab + "/" + bindings.moveDown, localized("Move")},
    };
    if (state.inDetailView)
        result.push_back({bindings.back, localized("Back")});
    else if (state.selectedIsGroup)
        result.push_back({bindings.enterGroup, localized("In")});
    result.push_back({bindings.desktop, localized("Desk")});
    result.push_back({bindings.cancel, localized("Close")});
    return result;
}

FooterBindings bindings(const ShortcutTable& resolved, KeyLabelStyle style) {
    auto text = [&](ShortcutAction action) {
        auto found = resolved.find(action);
        return (found != resolved.end() ? found->second : ShortcutActions::defaultBinding(action))
            .displayString(style);
    };
    FooterBindings result;
    result.search = text(ShortcutAction::search);
    result.moveDown = text(ShortcutAction::moveDown);
    result.back = text(ShortcutAction::back);
    result.enterGroup = text(ShortcutAction::enterGroup);
    result.desktop = text(ShortcutAction::desktop);
    result.cancel = text(ShortcutAction::cancel);
    result.openSelected = text(ShortcutAction::openSelected);
    result.closeSelected = text(ShortcutAction::closeSelected);
    result.tab = KeyCodeNames::name(KeyCode::tab, style);
    result.down = KeyCodeNames::name(KeyCode::downArrow, style);
    return result;
}

std::string closeTooltip(const FooterBindings& bindings) {
    return localizedFormat("Close (%@)", {bindings.closeSelected});
}

}  // namespace vantlo::FooterHints
