#pragma once
// The Shortcuts pane's state: the activation hot key and the nine in-panel bindings, resolved
// from the stores. A new binding for an action that another action already uses is refused with
// a beep; every accepted change is stored at once. The table reloads when the shortcuts change
// elsewhere or the language changes, and `changed` tells the view to redraw.

#include <functional>
#include <string>

#include "input/ShortcutStore.h"
#include "platform/NotificationCenter.h"

namespace vantlo {

class ShortcutsPaneModel {
  public:
    explicit ShortcutsPaneModel(std::function<void()> changed = {});

    const ShortcutTable& hotkeys() const { return hotkeys_; }
    HotkeyConfig binding(ShortcutAction action) const;
    // "Conflicts with <title>" when the action's binding clashes with another's, else the
    // action's description.
    std::string caption(ShortcutAction action) const;

    HotkeyConfig activationHotkey() const;
    // Stores it; the hot key registration follows "Vantlo.hotkeyChanged".
    void setActivationHotkey(const HotkeyConfig& config);
    void resetActivationHotkey();

    // True when stored; false (with a beep) when another action already has `candidate`.
    bool capture(ShortcutAction action, const HotkeyConfig& candidate);
    void reset(ShortcutAction action);
    void resetAll();

  private:
    void reload();

    std::function<void()> changed_;
    ShortcutTable hotkeys_;
    Subscription shortcutsObserver_;
    Subscription languageObserver_;
};

}  // namespace vantlo
