#pragma once
// Named virtual key codes: the layout-independent codes of physical keys that bindings, hot keys
// and key events use on every platform.

#include <cstdint>

namespace vantlo::KeyCode {

inline constexpr std::uint32_t a = 0;
inline constexpr std::uint32_t s = 1;
inline constexpr std::uint32_t d = 2;
inline constexpr std::uint32_t x = 7;
inline constexpr std::uint32_t q = 12;
inline constexpr std::uint32_t w = 13;
inline constexpr std::uint32_t returnKey = 36;
inline constexpr std::uint32_t tab = 48;
inline constexpr std::uint32_t space = 49;
inline constexpr std::uint32_t deleteBackward = 51;
inline constexpr std::uint32_t escape = 53;
inline constexpr std::uint32_t keypadEnter = 76;
inline constexpr std::uint32_t home = 115;
inline constexpr std::uint32_t forwardDelete = 117;
inline constexpr std::uint32_t end = 119;
inline constexpr std::uint32_t leftArrow = 123;
inline constexpr std::uint32_t rightArrow = 124;
inline constexpr std::uint32_t downArrow = 125;
inline constexpr std::uint32_t upArrow = 126;
// Every physical key has a code up to this one.
inline constexpr std::uint32_t highest = 127;

inline constexpr bool isArrow(std::uint32_t code) {
    return code >= leftArrow && code <= upArrow;
}

// Keys that count as a binding on their own, without a modifier: arrows, Return, Tab, Escape.
// Any other key pressed without a modifier is text for the search field.
inline constexpr bool isPlainBindableKey(std::uint32_t code) {
    return isArrow(code) || code == returnKey || code == tab || code == escape;
}

}  // namespace vantlo::KeyCode

// The characters a key event carries for keys that type nothing: the private-use code points
// macOS reports for arrows and function keys, which the search field and tests compare.
namespace vantlo::FunctionKeyCharacter {

inline constexpr std::uint32_t upArrow = 0xF700;
inline constexpr std::uint32_t downArrow = 0xF701;
inline constexpr std::uint32_t leftArrow = 0xF702;
inline constexpr std::uint32_t rightArrow = 0xF703;
// F1 to F35 follow one another from here.
inline constexpr std::uint32_t f1 = 0xF704;

}  // namespace vantlo::FunctionKeyCharacter
