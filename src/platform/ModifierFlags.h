#pragma once
// The two modifier vocabularies the program speaks: the device-independent modifier flags that
// keyboard events carry, and the Carbon-style mask that key bindings and hot keys are stored in.

#include <cstdint>

namespace vantlo {

// Modifier bits of a keyboard event.
namespace ModifierFlags {
inline constexpr std::uint64_t capsLock = 0x010000;
inline constexpr std::uint64_t shift = 0x020000;
inline constexpr std::uint64_t control = 0x040000;
inline constexpr std::uint64_t option = 0x080000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t numericPad = 0x200000;
inline constexpr std::uint64_t function = 0x800000;
// The only flags that matter anywhere: shift, control, option and command. Caps lock, the
// numeric-pad flag and the function-key flag are dropped before anything compares modifiers.
inline constexpr std::uint64_t relevantMask = shift | control | option | command;
}  // namespace ModifierFlags

// The Carbon modifier mask of key bindings and hot keys.
namespace CarbonModifiers {
inline constexpr std::uint32_t none = 0;
inline constexpr std::uint32_t command = 0x0100;
inline constexpr std::uint32_t shift = 0x0200;
inline constexpr std::uint32_t option = 0x0800;
inline constexpr std::uint32_t control = 0x1000;
}  // namespace CarbonModifiers

// The Carbon mask for the shift, control, option and command bits of `eventFlags`; every other
// bit contributes nothing.
std::uint32_t carbonFlags(std::uint64_t eventFlags);

}  // namespace vantlo
