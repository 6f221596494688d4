#pragma once
// The screen the switcher panel shows on.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

enum class PanelDisplay {
    pointer,  // the screen under the mouse pointer
    main,     // the main display
};

namespace PanelDisplays {
const std::vector<PanelDisplay>& allCases();
std::string rawValue(PanelDisplay display);  // "pointer", "main"
// Exact, case-sensitive; any other text is no case.
std::optional<PanelDisplay> fromRawValue(std::string_view raw);
std::string title(PanelDisplay display);  // translated "Screen with Pointer", "Main Display"
}  // namespace PanelDisplays

}  // namespace vantlo
