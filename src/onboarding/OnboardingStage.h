#pragma once
// The steps of the first-run guide, in order: get the Accessibility permission, summon the
// switcher, then three cards inside the panel.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantlo {

enum class OnboardingStage : std::uint8_t {
    idle = 0,         // no guide running (also right after completion)
    permissions = 1,  // the guide window asks for the Accessibility permission
    summon = 2,       // permission granted; hold Option and press Tab
    panelBasics = 3,  // the panel is open for the first time: "This is the switcher"
    movement = 4,     // card about moving the highlight
    actions = 5,      // card about the action keys
    complete = 6,     // just finished; back to idle shortly after
};

namespace OnboardingStages {
const std::vector<OnboardingStage>& allCases();
// Nothing for 7 or more.
std::optional<OnboardingStage> fromRawValue(int raw);
std::uint8_t rawValue(OnboardingStage stage);
// "idle", "permissions", ... (diagnostics and test output).
std::string name(OnboardingStage stage);
// The stages whose card shows on the panel, during which Option release keeps the panel open.
bool showsPanelCard(OnboardingStage stage);
}  // namespace OnboardingStages

}  // namespace vantlo
