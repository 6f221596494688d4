#pragma once
// Display names of physical keys, as shown in bindings ("W", "⇥", "F5"...).

#include <cstdint>
#include <string>

namespace vantlo::KeyCodeNames {

// The key's name, or "Key#" and the code in decimal for a key without one (Key#105).
std::string name(std::uint32_t keyCode);

}  // namespace vantlo::KeyCodeNames
