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

enum class MouseButton { primary, secondary };

struct MouseDownEvent {
    // Global screen location of the click.
    Point location;
    // True when the click hit one of this program's windows; `inPanel` when that window is the
    // switcher panel.
    bool inOwnWindow = false;
    bool inPanel = false;
};

// A pointer event aimed at the switcher panel that its own widgets do not receive, because the
// panel's input is grabbed and every event goes to the grab: the panel acts on it through its
// map of pointer targets.
struct PanelPointerEvent {
    enum class Kind { moved, pressed, scrolled };

    Kind kind = Kind::moved;
    // Global screen location.
    Point location;
    // `pressed`: which button went down.
    MouseButton button = MouseButton::primary;
    // `scrolled`: wheel notches, positive toward the end of the list (the wheel turned down).
    double wheelNotches = 0;
};

}  // namespace vantlo
