#pragma once
// The switcher's show-desktop action: every other application is hidden, except the file
// manager, whose windows are minimised so the desktop it draws stays usable.

namespace vantlo::DesktopController {

// Main thread.
void showDesktop();

}  // namespace vantlo::DesktopController
