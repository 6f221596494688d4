#pragma once
// The activation hot key as the user chose it, kept in the user defaults.

#include "platform/HotkeyConfig.h"

namespace vantlo {

class HotkeyStore {
  public:
    static constexpr const char* defaultsKey = "Vantlo.Hotkey";
    static constexpr const char* changedNotification = "Vantlo.hotkeyChanged";

    HotkeyStore() = delete;

    // The stored hot key, read afresh on every call. Absent, not data, undecodable or not usable
    // as an activation hot key: Option+Tab (the bad value stays stored until the next
    // `setCurrent`; an unusable one is logged once).
    static HotkeyConfig current();
    // Whether a hot key may be grabbed on the whole desktop: it needs a modifier (a plain Tab
    // would take Tab away from every application) and a code of a real key.
    static bool isUsable(const HotkeyConfig& config);
    // Stores the hot key as JSON data, then posts "Vantlo.hotkeyChanged" (always, so listeners
    // re-read `current`).
    static void setCurrent(const HotkeyConfig& config);
};

}  // namespace vantlo
