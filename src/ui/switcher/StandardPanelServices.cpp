#include "ui/switcher/StandardPanelServices.h"

#include "input/ShortcutStore.h"
#include "onboarding/OnboardingManager.h"
#include "switcher/CachedRowImages.h"
#include "switcher/ItemActions.h"

namespace vantlo {

PanelServices standardPanelServices() {
    PanelServices services;
    services.appearance = PanelAppearance::fromSettings;
    services.closeCapability = ItemActions::closeCapability;
    services.bindings = ShortcutStore::allResolved;
    services.guide = OnboardingManager::shared().shared_from_this();
    services.images = std::make_shared<CachedRowImages>();
    return services;
}

}  // namespace vantlo
