#pragma once
// The screen edge the switcher panel slides in from.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

enum class PanelEdge { left, right };

namespace PanelEdges {
const std::vector<PanelEdge>& allCases();
std::string rawValue(PanelEdge edge);  // "left", "right"
// Exact, case-sensitive; any other text is no case.
std::optional<PanelEdge> fromRawValue(std::string_view raw);
std::string title(PanelEdge edge);  // translated "Left", "Right"
}  // namespace PanelEdges

}  // namespace vantlo
