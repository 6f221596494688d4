#pragma once
// The General pane's state: the activation hot key, the interface language, the panel's edge and
// display, launching at login, and whether this session lets Vantlo control windows. Every
// change is stored at once. A login-item change that does not take effect leaves the switch at
// the real state and an explanation in its place.

#include <functional>
#include <optional>
#include <string>

#include "platform/HotkeyConfig.h"
#include "preferences/PermissionState.h"
#include "settings/Localization.h"
#include "settings/PanelDisplay.h"
#include "settings/PanelEdge.h"

namespace vantlo {

class GeneralPaneModel {
  public:
    struct Session {
        // The desktop session is a Wayland one (Vantlo drives X11 windows only).
        bool wayland = false;
    };

    GeneralPaneModel(Session session, std::function<void()> changed = {});

    HotkeyConfig hotkey() const;
    void setHotkey(const HotkeyConfig& config);
    void resetHotkey();
    // "Reset to Alt+Tab", with the default written as the platform writes keys.
    static std::string resetTitle();

    AppLanguage language() const;
    void setLanguage(AppLanguage language);
    PanelEdge edge() const;
    void setEdge(PanelEdge edge);
    PanelDisplay display() const;
    void setDisplay(PanelDisplay display);

    bool launchAtLogin() const { return launchAtLogin_; }
    void setLaunchAtLogin(bool enabled);
    // The explanation under "Launch at login": the last failure, else what the switch does.
    std::string launchAtLoginDetail() const;
    const std::optional<std::string>& launchAtLoginError() const { return launchAtLoginError_; }

    // Evaluated on every call: the session and the window manager may change under us.
    PermissionRowContent permission() const;

  private:
    void notify();

    Session session_;
    std::function<void()> changed_;
    bool launchAtLogin_;
    std::optional<std::string> launchAtLoginError_;
};

}  // namespace vantlo
