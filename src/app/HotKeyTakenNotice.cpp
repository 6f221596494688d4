#include "app/HotKeyTakenNotice.h"

#include "onboarding/OnboardingManager.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {

bool HotKeyTakenNotice::noteStartRegistration(bool registered, const HotkeyConfig& key) {
    if (registered || shown_ || !OnboardingManager::didCompleteInteractiveOnboarding())
        return false;
    if (!notifications_)
        return false;
    // Written as the platform writes keys: "Alt+Tab" on Linux.
    const std::string keyName = key.displayString();
    shown_ = true;
    DesktopNotice notice;
    notice.title = localizedFormat("%@ is taken", {keyName});
    // One literal: the translation tables are checked against the texts looked up.
    // clang-format off
    notice.body = localizedFormat("Another program uses %@, so it cannot show Vantlo. Choose another shortcut, or free it in your desktop's keyboard settings.", {keyName});
    // clang-format on
    notice.actions.push_back({kOpenGeneralAction, localized("Open General Settings")});
    notifications_->show(notice, [](const std::string& key) {
        if (key == kOpenGeneralAction)
            platform().notifications->post("Vantlo.openPreferences", std::string("general"));
    });
    return true;
}

}  // namespace vantlo
