#pragma once
// The activation hot key as the user chose it, kept in the user defaults.

#include "platform/HotkeyConfig.h"

namespace vantlo {

class HotkeyStore {
  public:
    static constexpr const char* defaultsKey = "Vantlo.Hotkey";
    static constexpr const char* changedNotification = "Vantlo.hotkeyChanged";

    HotkeyStore() = delete;

    // The stored hot key, read afresh on every call. Absent, not data or undecodable: Option+Tab
    // (the bad value stays stored until the next `setCurrent`).
    static HotkeyConfig current();
    // Stores the hot key as JSON data, then posts "Vantlo.hotkeyChanged" (always, so listeners
    // re-read `current`).
    static void setCurrent(const HotkeyConfig& config);
};

}  // namespace vantlo
