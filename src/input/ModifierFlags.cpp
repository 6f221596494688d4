#include "input/ModifierFlags.h"

namespace vantlo {

std::uint32_t carbonFlags(std::uint64_t eventFlags) {
    std::uint32_t carbon = 0;
    if (eventFlags & EventModifierFlags::shift)
        carbon |= CarbonModifiers::shift;
    if (eventFlags & EventModifierFlags::control)
        carbon |= CarbonModifiers::control;
    if (eventFlags & EventModifierFlags::option)
        carbon |= CarbonModifiers::option;
    if (eventFlags & EventModifierFlags::command)
        carbon |= CarbonModifiers::command;
    return carbon;
}

}  // namespace vantlo
