#pragma once
// The in-panel shortcut bindings: the user's overrides kept in the user defaults, and the table
// resolved against the defaults that the panel and the preferences work from.

#include <map>

#include "input/ShortcutAction.h"
#include "platform/HotkeyConfig.h"

namespace vantlo {

using ShortcutTable = std::map<ShortcutAction, HotkeyConfig>;

class ShortcutStore {
  public:
    static constexpr const char* defaultsKey = "Vantlo.Shortcuts.v1";
    static constexpr const char* changedNotification = "Vantlo.shortcutsChanged";

    ShortcutStore() = delete;

    // The stored overrides, read afresh. Members naming no action are dropped; data that does
    // not decode as a whole (or is not data) counts as no overrides.
    static ShortcutTable all();
    // All nine actions: the override where there is one, else the default.
    static ShortcutTable allResolved();
    static HotkeyConfig binding(ShortcutAction action);

    // Each change saves the overrides and then posts "Vantlo.shortcutsChanged" once.
    // An override equal to the default stays stored as an override.
    static void set(const HotkeyConfig& config, ShortcutAction action);
    // Forgets one action's override, keeping the others.
    static void reset(ShortcutAction action);
    // Removes every override.
    static void resetAll();

  private:
    static void save(const ShortcutTable& overrides);
};

}  // namespace vantlo
