#pragma once
// Stands in for the system-wide hot-key service: key combinations registered under an id fire a
// press callback whichever application is in front.
//
// Key codes are the macOS virtual key codes and modifiers the Carbon modifier mask
// (cmdKey 0x100, shiftKey 0x200, optionKey 0x800, controlKey 0x1000) on every platform; a backend
// maps them to its own keys.

#include <cstdint>
#include <functional>

namespace vantlo {

class HotKeys {
  public:
    // Called with the id of the pressed hot key, possibly on a background thread.
    using PressHandler = std::function<void(std::uint32_t id)>;

    virtual ~HotKeys() = default;

    // One handler for every registered key; replaces the previous one.
    virtual void setPressHandler(PressHandler handler) = 0;
    // False when the combination cannot be registered (for instance another program holds it).
    virtual bool registerHotKey(std::uint32_t id, std::uint32_t keyCode,
                                std::uint32_t carbonModifiers) = 0;
    // Unknown ids are ignored.
    virtual void unregisterHotKey(std::uint32_t id) = 0;
};

}  // namespace vantlo
