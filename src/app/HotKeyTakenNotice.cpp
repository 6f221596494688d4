#include "app/HotKeyTakenNotice.h"

#include <map>

#include "onboarding/OnboardingManager.h"
#include "platform/KeyCodeNames.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {

std::string HotKeyTakenNotice::spelledOut(const HotkeyConfig& key) {
    static const std::map<std::string, std::string> glyphNames = {
        {"⇥", "Tab"},  {"↩", "Return"}, {"⎋", "Escape"}, {"⌫", "Backspace"},
        {"←", "Left"}, {"→", "Right"},  {"↑", "Up"},     {"↓", "Down"}};
    std::string text;
    if (key.carbonModifiers & CarbonModifiers::control)
        text += "Ctrl+";
    if (key.carbonModifiers & CarbonModifiers::option)
        text += "Alt+";
    if (key.carbonModifiers & CarbonModifiers::shift)
        text += "Shift+";
    if (key.carbonModifiers & CarbonModifiers::command)
        text += "Super+";
    std::string name = KeyCodeNames::name(key.keyCode);
    auto spelled = glyphNames.find(name);
    return text + (spelled == glyphNames.end() ? name : spelled->second);
}

bool HotKeyTakenNotice::noteStartRegistration(bool registered, const HotkeyConfig& key) {
    if (registered || shown_ || !OnboardingManager::didCompleteInteractiveOnboarding())
        return false;
    if (!notifications_)
        return false;
    std::string keyName = spelledOut(key);
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
