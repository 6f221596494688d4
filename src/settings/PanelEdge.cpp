#include "settings/PanelEdge.h"

#include "settings/Localization.h"

namespace vantlo::PanelEdges {

const std::vector<PanelEdge>& allCases() {
    static const std::vector<PanelEdge> cases{PanelEdge::left, PanelEdge::right};
    return cases;
}

std::string rawValue(PanelEdge edge) {
    return edge == PanelEdge::left ? "left" : "right";
}

std::optional<PanelEdge> fromRawValue(std::string_view raw) {
    for (auto edge : allCases()) {
        if (rawValue(edge) == raw)
            return edge;
    }
    return std::nullopt;
}

std::string title(PanelEdge edge) {
    return edge == PanelEdge::left ? localized("Left") : localized("Right");
}

}  // namespace vantlo::PanelEdges
