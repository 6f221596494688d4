#include "platform/ModifierFlags.h"

namespace vantlo {

std::uint32_t carbonFlags(std::uint64_t eventFlags) {
    std::uint32_t carbon = 0;
    if (eventFlags & ModifierFlags::shift)
        carbon |= CarbonModifiers::shift;
    if (eventFlags & ModifierFlags::control)
        carbon |= CarbonModifiers::control;
    if (eventFlags & ModifierFlags::option)
        carbon |= CarbonModifiers::option;
    if (eventFlags & ModifierFlags::command)
        carbon |= CarbonModifiers::command;
    return carbon;
}

}  // namespace vantlo
