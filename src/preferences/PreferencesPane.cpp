#include "preferences/PreferencesPane.h"

#include "settings/Localization.h"

namespace vantlo::PreferencesPanes {

const std::vector<PreferencesPane>& allCases() {
    static const std::vector<PreferencesPane> cases = {
        PreferencesPane::general, PreferencesPane::shortcuts, PreferencesPane::appearance,
        PreferencesPane::exceptions, PreferencesPane::feedback};
    return cases;
}

std::string rawValue(PreferencesPane pane) {
    switch (pane) {
        case PreferencesPane::general:
            return "general";
        case PreferencesPane::shortcuts:
            return "shortcuts";
        case PreferencesPane::appearance:
            return "appearance";
        case PreferencesPane::exceptions:
            return "exceptions";
        case PreferencesPane::feedback:
            return "feedback";
    }
    return "general";
}

std::optional<PreferencesPane> fromRawValue(std::string_view raw) {
    for (PreferencesPane pane : allCases()) {
        if (rawValue(pane) == raw)
            return pane;
    }
    return std::nullopt;
}

std::string title(PreferencesPane pane) {
    switch (pane) {
        case PreferencesPane::general:
            return localized("General");
        case PreferencesPane::shortcuts:
            return localized("Shortcuts");
        case PreferencesPane::appearance:
            return localized("Appearance");
        case PreferencesPane::exceptions:
            return localized("Exceptions");
        case PreferencesPane::feedback:
            return localized("Feedback");
    }
    return {};
}

std::string symbol(PreferencesPane pane) {
    switch (pane) {
        case PreferencesPane::general:
            return "gearshape";
        case PreferencesPane::shortcuts:
            return "keyboard";
        case PreferencesPane::appearance:
            return "paintbrush";
        case PreferencesPane::exceptions:
            return "nosign";
        case PreferencesPane::feedback:
            return "bubble.left.and.bubble.right";
    }
    return {};
}

}  // namespace vantlo::PreferencesPanes
