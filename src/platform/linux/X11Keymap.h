#pragma once
// The keyboard as X reports it, in the switcher's terms: macOS virtual key codes (which the
// settings store) to X key codes through keysyms and the server's keyboard mapping, and X
// modifier states to Carbon masks and event modifier flags. Option is whichever modifier holds
// Alt_L (Mod1 on most layouts), Command the one holding Super_L; NumLock and ScrollLock are found
// the same way.

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ModifierFlags.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11Keymap {
  public:
    // Reads the keyboard mapping and the modifier map; nothing when the server answers neither.
    static std::unique_ptr<X11Keymap> load(XcbConnection& connection);
    ~X11Keymap();

    std::optional<xcb_keycode_t> keycodeFor(std::uint32_t macKeyCode) const;
    std::optional<std::uint16_t> macKeyCodeFor(xcb_keycode_t keycode) const;
    // The key's name for messages ("Tab", "F5").
    std::string keyName(std::uint32_t macKeyCode) const;

    // The X modifier mask of a Carbon mask; nothing when a modifier has no key on this keyboard.
    std::optional<std::uint16_t> modifiersForCarbon(std::uint32_t carbon) const;
    // The masks of the lock keys present (CapsLock always, NumLock and ScrollLock when mapped).
    std::vector<std::uint16_t> lockMasks() const;
    // Shift, Control, Alt and Super: the bits a hot key compares.
    std::uint16_t relevantMask() const;
    std::uint64_t flagsForState(std::uint16_t state) const;
    // The modifier flags of the keys held in an XQueryKeymap bit vector.
    std::uint64_t flagsForPressedKeys(const std::uint8_t keys[32]) const;
    bool isModifierKey(xcb_keycode_t keycode) const;
    // The text a key produces with the given state, as a macOS key event's characters (arrows
    // and function keys as the private-use characters macOS uses).
    std::string characters(xcb_keycode_t keycode, std::uint16_t state) const;

  private:
    X11Keymap() = default;
    std::uint16_t maskHolding(xcb_keysym_t keysym) const;

    xcb_key_symbols_t* symbols_ = nullptr;
    // Keycodes per modifier index (Shift, Lock, Control, Mod1..Mod5).
    std::array<std::vector<xcb_keycode_t>, 8> modifierKeys_;
    std::map<std::uint32_t, xcb_keycode_t> byMacCode_;
    std::map<xcb_keycode_t, std::uint16_t> byKeycode_;
    std::uint16_t alt_ = 0, super_ = 0, numLock_ = 0, scrollLock_ = 0;
};

}  // namespace vantlo
