#include "settings/PanelFontSize.h"

#include "settings/Localization.h"

namespace vantlo::PanelFontSizes {

const std::vector<PanelFontSize>& allCases() {
    static const std::vector<PanelFontSize> cases{PanelFontSize::small, PanelFontSize::normal,
                                                  PanelFontSize::large};
    return cases;
}

std::string rawValue(PanelFontSize size) {
    switch (size) {
        case PanelFontSize::small:
            return "small";
        case PanelFontSize::large:
            return "large";
        case PanelFontSize::normal:
            break;
    }
    return "normal";
}

std::optional<PanelFontSize> fromRawValue(std::string_view raw) {
    for (auto size : allCases()) {
        if (rawValue(size) == raw)
            return size;
    }
    return std::nullopt;
}

std::string title(PanelFontSize size) {
    switch (size) {
        case PanelFontSize::small:
            return localized("Small");
        case PanelFontSize::large:
            return localized("Large");
        case PanelFontSize::normal:
            break;
    }
    return localized("Normal");
}

double scale(PanelFontSize size) {
    switch (size) {
        case PanelFontSize::small:
            return 0.9;
        case PanelFontSize::large:
            return 1.16;
        case PanelFontSize::normal:
            break;
    }
    return 1.0;
}

}  // namespace vantlo::PanelFontSizes
