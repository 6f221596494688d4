#pragma once
// Starting Vantlo when the user signs in, over the platform's login-item service (an XDG
// autostart entry on Linux). Asks the service only when the wish differs from its status, so
// switching on what is on (or off what is off) cannot fail.

#include <optional>
#include <string>

namespace vantlo::LoginItemController {

// Whether the service reports the item as enabled now.
bool isEnabled();
// Registers or unregisters. Nothing on success (or when nothing had to change), else the
// service's description of what went wrong.
std::optional<std::string> setEnabled(bool enabled);

}  // namespace vantlo::LoginItemController
