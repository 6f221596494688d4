#pragma once
// How large the switcher panel's text is; the scale also sizes the rows that follow the text.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

enum class PanelFontSize { small, normal, large };

namespace PanelFontSizes {
const std::vector<PanelFontSize>& allCases();
std::string rawValue(PanelFontSize size);  // "small", "normal", "large"
// Exact, case-sensitive; any other text is no case.
std::optional<PanelFontSize> fromRawValue(std::string_view raw);
std::string title(PanelFontSize size);  // translated "Small", "Normal", "Large"
// Multiplies the panel's text sizes and row metrics: 0.9, 1.0, 1.16.
double scale(PanelFontSize size);
}  // namespace PanelFontSizes

}  // namespace vantlo
