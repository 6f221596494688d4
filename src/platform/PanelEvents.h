#pragma once
// The input events the switcher panel's controller works with, in the platform-neutral form the
// settings store: macOS virtual key codes and event modifier flags. Backends translate their own
// key codes and modifier masks into these.

#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/ModifierFlags.h"

namespace vantlo {

struct KeyEvent {
    std::uint16_t keyCode = 0;
    std::uint64_t modifierFlags = 0;
    // The text the key produces (may be empty).
    std::string characters;
};

struct MouseDownEvent {
    // Global screen location of the click.
    Point location;
    // True when the click hit one of this program's windows; `inPanel` when that window is the
    // switcher panel.
    bool inOwnWindow = false;
    bool inPanel = false;
};

}  // namespace vantlo
