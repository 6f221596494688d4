#pragma once
// Display names of physical keys and modifiers, as shown in bindings ("W", "⇥", "F5"... or, in
// words, "W", "Tab", "F5"...).

#include <cstdint>
#include <string>

#include "platform/KeyLabelStyle.h"

namespace vantlo::KeyCodeNames {

// The key's name, or "Key#" and the code in decimal for a key without one (Key#105). Glyph
// names for Tab, Return, Escape, Delete and the arrows; in words "Tab", "Return", "Esc",
// "Backspace", "Left", "Right", "Up", "Down".
std::string name(std::uint32_t keyCode, KeyLabelStyle style = KeyLabelStyle::glyphs);

// The modifiers of a Carbon mask in the fixed order control, option, shift, command: glyphs run
// together ("⌃⌥"), words are joined by "+" ("Ctrl+Alt"; option is Alt, command is Super). Empty
// without modifiers.
std::string modifierNames(std::uint32_t carbonModifiers, KeyLabelStyle style);

}  // namespace vantlo::KeyCodeNames
