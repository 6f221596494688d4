#include "settings/PanelWidth.h"

#include "settings/Localization.h"

namespace vantlo::PanelWidths {

const std::vector<PanelWidth>& allCases() {
    static const std::vector<PanelWidth> cases{PanelWidth::compact, PanelWidth::normal,
                                               PanelWidth::wide};
    return cases;
}

std::string rawValue(PanelWidth width) {
    switch (width) {
        case PanelWidth::compact:
            return "compact";
        case PanelWidth::wide:
            return "wide";
        case PanelWidth::normal:
            break;
    }
    return "normal";
}

std::optional<PanelWidth> fromRawValue(std::string_view raw) {
    for (auto width : allCases()) {
        if (rawValue(width) == raw)
            return width;
    }
    return std::nullopt;
}

std::string title(PanelWidth width) {
    switch (width) {
        case PanelWidth::compact:
            return localized("Compact");
        case PanelWidth::wide:
            return localized("Wide");
        case PanelWidth::normal:
            break;
    }
    return localized("Normal");
}

double contentWidth(PanelWidth width) {
    switch (width) {
        case PanelWidth::compact:
            return 290;
        case PanelWidth::wide:
            return 400;
        case PanelWidth::normal:
            break;
    }
    return 340;
}

double windowWidth(PanelWidth width) {
    return contentWidth(width) + panelWaveOutset;
}

}  // namespace vantlo::PanelWidths
