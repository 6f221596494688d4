#include "preferences/GeneralPaneModel.h"

#include "input/HotkeyStore.h"
#include "platform/Platform.h"
#include "preferences/LoginItemController.h"
#include "settings/PanelSettings.h"

namespace vantlo {

GeneralPaneModel::GeneralPaneModel(Session session, std::function<void()> changed)
    : session_(session),
      changed_(std::move(changed)),
      launchAtLogin_(LoginItemController::isEnabled()) {}

HotkeyConfig GeneralPaneModel::hotkey() const {
    return HotkeyStore::current();
}

void GeneralPaneModel::setHotkey(const HotkeyConfig& config) {
    HotkeyStore::setCurrent(config);
    notify();
}

void GeneralPaneModel::resetHotkey() {
    if (hotkey() == HotkeyConfig::defaultActivation())
        return;
    setHotkey(HotkeyConfig::defaultActivation());
}

std::string GeneralPaneModel::resetTitle() {
    return localizedFormat("Reset to %@", {HotkeyConfig::defaultActivation().displayString()});
}

AppLanguage GeneralPaneModel::language() const {
    return Localization::shared().language();
}

void GeneralPaneModel::setLanguage(AppLanguage language) {
    // The localization announces the change; every window redraws from that.
    Localization::shared().setLanguage(language);
}

PanelEdge GeneralPaneModel::edge() const {
    return PanelSettings::edge();
}

void GeneralPaneModel::setEdge(PanelEdge edge) {
    PanelSettings::setEdge(edge);
    notify();
}

PanelDisplay GeneralPaneModel::display() const {
    return PanelSettings::display();
}

void GeneralPaneModel::setDisplay(PanelDisplay display) {
    PanelSettings::setDisplay(display);
    notify();
}

void GeneralPaneModel::setLaunchAtLogin(bool enabled) {
    auto error = LoginItemController::setEnabled(enabled);
    // The switch shows what the system now has, so a refused change springs back.
    launchAtLogin_ = LoginItemController::isEnabled();
    if (error)
        launchAtLoginError_ = localizedFormat("Could not update the login item: %@", {*error});
    else
        launchAtLoginError_.reset();
    notify();
}

std::string GeneralPaneModel::launchAtLoginDetail() const {
    return launchAtLoginError_ ? *launchAtLoginError_
                               : localized("Start Vantlo automatically when you sign in.");
}

PermissionRowContent GeneralPaneModel::permission() const {
    PermissionRowContent row;
    row.title = localized("Window control");
    row.primaryTitle = localized("Check Again");
    if (session_.wayland) {
        row.state = PermissionState::needsAction;
        // clang-format off
        row.detail = localized("This is a Wayland session, which Vantlo does not support yet. Sign in to an X11 session to switch windows with Vantlo.");
        // clang-format on
        return row;
    }
    auto& accessibility = platform().accessibility;
    if (accessibility && accessibility->isProcessTrusted()) {
        row.state = PermissionState::ready;
        // clang-format off
        row.detail = localized("Ready. The X11 window manager supports EWMH, so Vantlo can take the shortcut and activate windows.");
        // clang-format on
        return row;
    }
    row.state = PermissionState::needsAction;
    // clang-format off
    row.detail = localized("Required. Vantlo needs an X11 display and a window manager that supports EWMH (Openbox, Xfwm, KWin, Mutter and most others do).");
    // clang-format on
    return row;
}

void GeneralPaneModel::notify() {
    if (changed_)
        changed_();
}

}  // namespace vantlo
