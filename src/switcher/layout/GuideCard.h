#pragma once
// The guide card drawn over the switcher list during the in-panel part of the first-run guide:
// its texts, the demonstration key caps, the progress dots and the button labels.

#include <array>
#include <string>
#include <vector>

#include "onboarding/OnboardingStage.h"
#include "platform/HotkeyConfig.h"

namespace vantlo {

struct GuideKeyCap {
    std::string label;
    // Lights up with the card's pulse; a cap that never pulses stays unlit.
    bool pulses = false;
    bool operator==(const GuideKeyCap&) const = default;
};

struct GuideCardContent {
    std::string title;
    std::string detail;
    std::vector<GuideKeyCap> keys;
    std::string caption;  // after the caps; may be empty
    // One dot per guide stage in the panel, lit when reached.
    std::array<bool, 3> dots{};
    std::string nextLabel;  // "Next" or "Done"
    std::string skipLabel;
};

namespace GuideCard {

// Whether the card shows at this stage: from `panelBasics` to `actions`.
bool isShown(OnboardingStage stage);
// The card's texts and keys (texts localized, keys written in `style`). Outside the card's
// stages title and detail are empty and there are no keys.
GuideCardContent content(OnboardingStage stage, bool hasItems, bool isInDetailView,
                         KeyLabelStyle style = shownKeyLabelStyle());

}  // namespace GuideCard

}  // namespace vantlo
