#pragma once
// The keyboard as X reports it, in the switcher's terms: macOS virtual key codes (which the
// settings store, and which name key positions) to X key codes through the XKB key names of the
// positions (AC01 is where A sits on a US keyboard, whatever the layout puts there), or through
// keysyms where the server has no XKB; and X modifier states to Carbon masks and event modifier
// flags. Option is whichever modifier holds Alt_L (Mod1 on most layouts), Command the one holding
// Super_L; NumLock and ScrollLock are found the same way. A map is a snapshot: load a new one
// when `isChangeEvent` says the layout changed.

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

    // Asks the server to report keyboard changes (a new layout, a changed mapping) to this
    // connection; answers the first event code of XKB (0 without XKB).
    static std::uint8_t watchChanges(XcbConnection& connection);
    // Whether an event tells that the keyboard mapping changed.
    static bool isChangeEvent(const xcb_generic_event_t& event, std::uint8_t xkbFirstEvent);

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
    // The text a key produces with the given state (its layout group and shift level included),
    // as a macOS key event's characters (arrows and function keys as the private-use characters
    // macOS uses).
    std::string characters(xcb_keycode_t keycode, std::uint16_t state) const;

  private:
    X11Keymap() = default;
    std::uint16_t maskHolding(xcb_keysym_t keysym) const;
    void mapKeyPositions(XcbConnection& connection);
    void mapRemainingKeysBySymbol();
    xcb_keysym_t keysymAt(xcb_keycode_t keycode, std::uint16_t state) const;

    xcb_key_symbols_t* symbols_ = nullptr;
    // Keycodes per modifier index (Shift, Lock, Control, Mod1..Mod5).
    std::array<std::vector<xcb_keycode_t>, 8> modifierKeys_;
    std::map<std::uint32_t, xcb_keycode_t> byMacCode_;
    std::map<xcb_keycode_t, std::uint16_t> byKeycode_;
    std::uint16_t alt_ = 0, super_ = 0, numLock_ = 0, scrollLock_ = 0, levelThree_ = 0;
};

}  // namespace vantlo
