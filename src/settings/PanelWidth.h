#pragma once
// How wide the switcher panel is.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

// The panel window is wider than its content by this much: room for the wave-shaped edge.
inline constexpr double panelWaveOutset = 14;

enum class PanelWidth { compact, normal, wide };

namespace PanelWidths {
const std::vector<PanelWidth>& allCases();
std::string rawValue(PanelWidth width);  // "compact", "normal", "wide"
// Exact, case-sensitive; any other text is no case.
std::optional<PanelWidth> fromRawValue(std::string_view raw);
std::string title(PanelWidth width);  // translated "Compact", "Normal", "Wide"
// The list's width: 290, 340, 400 px.
double contentWidth(PanelWidth width);
// The window's width: the content plus the wave outset (304, 354, 414 px).
double windowWidth(PanelWidth width);
}  // namespace PanelWidths

}  // namespace vantlo
