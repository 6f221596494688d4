#pragma once
// The input events the switcher panel's controller works with, in the platform-neutral form the
// settings store: macOS virtual key codes and event modifier flags. Backends translate their own
// key codes and modifier masks into these.

#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace vantlo {

// Event modifier flags (device-independent bits).
namespace ModifierFlags {
inline constexpr std::uint64_t capsLock = 1ull << 16;
inline constexpr std::uint64_t shift = 1ull << 17;
inline constexpr std::uint64_t control = 1ull << 18;
inline constexpr std::uint64_t option = 1ull << 19;
inline constexpr std::uint64_t command = 1ull << 20;
inline constexpr std::uint64_t numericPad = 1ull << 21;
inline constexpr std::uint64_t function = 1ull << 23;
}  // namespace ModifierFlags

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
