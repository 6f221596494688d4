#include "switcher/layout/GuideCard.h"

#include "platform/KeyCodeNames.h"
#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"
#include "settings/Localization.h"

namespace vantlo::GuideCard {
namespace {

std::string title(OnboardingStage stage, bool hasItems) {
    switch (stage) {
        case OnboardingStage::panelBasics:
            return localized("This is the switcher");
        case OnboardingStage::movement:
            return hasItems ? localized("Move through the list") : localized("No windows yet");
        case OnboardingStage::actions:
            return localized("Action keys");
        default:
            return {};
    }
}

// The texts are lookup keys: each stays one literal on one line. The held key is the Mac's
// Option, or Alt where keys are written in words.
// clang-format off
std::string detail(OnboardingStage stage, bool hasItems, bool isInDetailView, bool alt) {
    switch (stage) {
        case OnboardingStage::panelBasics:
            if (hasItems)
                return alt ? localized("Hold Alt to keep the panel open. Use the keys shown here while holding Alt; outside the guide, releasing Alt opens the highlighted row.")
                           : localized("Hold Option to keep the panel open. Use the keys shown here while holding Option; outside the guide, releasing Option opens the highlighted row.");
            return localized("No open windows were found. You can still press Enter to search installed apps, or open an app and try again.");
        case OnboardingStage::movement:
            if (hasItems)
                return alt ? localized("Keep holding Alt, then use W/S or Tab to move the highlight. A/D enters or leaves groups.")
                           : localized("Keep holding Option, then use W/S or Tab to move the highlight. A/D enters or leaves groups.");
            return localized("When items appear, W/S moves the highlight. For now, press Enter to search or Esc to close.");
        case OnboardingStage::actions:
            if (isInDetailView)
                return alt ? localized("While holding Alt, use A to go back, X to close a tab or window, and Esc to leave without opening anything.")
                           : localized("While holding Option, use A to go back, X to close a tab or window, and Esc to leave without opening anything.");
            return alt ? localized("While holding Alt, use Q for Desktop and X to close when a row supports it. Esc closes Vantlo without opening anything.")
                       : localized("While holding Option, use Q for Desktop and X to close when a row supports it. Esc closes Vantlo without opening anything.");
        default:
            return {};
    }
}
// clang-format on

std::vector<GuideKeyCap> keys(OnboardingStage stage, bool hasItems, KeyLabelStyle style) {
    auto key = [style](std::uint32_t code) { return KeyCodeNames::name(code, style); };
    switch (stage) {
        case OnboardingStage::panelBasics:
            return {{KeyCodeNames::modifierNames(CarbonModifiers::option, style), true},
                    {key(KeyCode::tab), true}};
        case OnboardingStage::movement: {
            std::vector<GuideKeyCap> caps = {
                {"W", hasItems}, {"A", hasItems}, {"S", hasItems}, {"D", hasItems}};
            if (!hasItems) {
                caps.push_back({key(KeyCode::returnKey), true});
                caps.push_back({key(KeyCode::escape), false});
            }
            return caps;
        }
        case OnboardingStage::actions:
            return {{"Q", true}, {"X", true}, {key(KeyCode::escape), false}};
        default:
            return {};
    }
}

}  // namespace

bool isShown(OnboardingStage stage) {
    return stage >= OnboardingStage::panelBasics && stage <= OnboardingStage::actions;
}

GuideCardContent content(OnboardingStage stage, bool hasItems, bool isInDetailView,
                         KeyLabelStyle style) {
    GuideCardContent card;
    card.title = title(stage, hasItems);
    card.detail = detail(stage, hasItems, isInDetailView, style == KeyLabelStyle::words);
    card.keys = keys(stage, hasItems, style);
    if (stage == OnboardingStage::panelBasics)
        card.caption = localized("summons the panel");
    const OnboardingStage dotStages[3] = {OnboardingStage::panelBasics, OnboardingStage::movement,
                                          OnboardingStage::actions};
    for (int i = 0; i < 3; ++i)
        card.dots[i] = isShown(stage) && dotStages[i] <= stage;
    card.nextLabel = stage == OnboardingStage::actions ? localized("Done") : localized("Next");
    card.skipLabel = localized("Skip");
    return card;
}

}  // namespace vantlo::GuideCard
