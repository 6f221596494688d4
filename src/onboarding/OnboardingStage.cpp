#include "onboarding/OnboardingStage.h"

namespace vantlo::OnboardingStages {

const std::vector<OnboardingStage>& allCases() {
    static const std::vector<OnboardingStage> stages{
        OnboardingStage::idle,        OnboardingStage::permissions, OnboardingStage::summon,
        OnboardingStage::panelBasics, OnboardingStage::movement,    OnboardingStage::actions,
        OnboardingStage::complete,
    };
    return stages;
}

std::optional<OnboardingStage> fromRawValue(int raw) {
    if (raw < 0 || raw > static_cast<int>(OnboardingStage::complete))
        return std::nullopt;
    return static_cast<OnboardingStage>(raw);
}

std::uint8_t rawValue(OnboardingStage stage) {
    return static_cast<std::uint8_t>(stage);
}

std::string name(OnboardingStage stage) {
    switch (stage) {
        case OnboardingStage::idle:
            return "idle";
        case OnboardingStage::permissions:
            return "permissions";
        case OnboardingStage::summon:
            return "summon";
        case OnboardingStage::panelBasics:
            return "panelBasics";
        case OnboardingStage::movement:
            return "movement";
        case OnboardingStage::actions:
            return "actions";
        case OnboardingStage::complete:
            return "complete";
    }
    return "unknown";
}

bool showsPanelCard(OnboardingStage stage) {
    return stage >= OnboardingStage::panelBasics && stage <= OnboardingStage::actions;
}

}  // namespace vantlo::OnboardingStages
