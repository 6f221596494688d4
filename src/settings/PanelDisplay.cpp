#include "settings/PanelDisplay.h"

#include "settings/Localization.h"

namespace vantlo::PanelDisplays {

const std::vector<PanelDisplay>& allCases() {
    static const std::vector<PanelDisplay> cases{PanelDisplay::pointer, PanelDisplay::main};
    return cases;
}

std::string rawValue(PanelDisplay display) {
    return display == PanelDisplay::main ? "main" : "pointer";
}

std::optional<PanelDisplay> fromRawValue(std::string_view raw) {
    for (auto display : allCases()) {
        if (rawValue(display) == raw)
            return display;
    }
    return std::nullopt;
}

std::string title(PanelDisplay display) {
    return display == PanelDisplay::main ? localized("Main Display")
                                         : localized("Screen with Pointer");
}

}  // namespace vantlo::PanelDisplays
