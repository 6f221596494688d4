#pragma once
// A look at the screen that stays right while other clients create and destroy windows: the
// top-level windows (children of the root: override-redirect windows such as the switcher's
// panel, and the window manager's frames) that are viewable and carry a given name.

#include <string>

namespace vantlo::driver {

// Prints the ids (decimal) of the viewable top-level windows named exactly `title`, topmost
// first; a window that vanishes while it is read is skipped. Answers 0, or 1 without a display.
int printViewableWindows(const std::string& title);

}  // namespace vantlo::driver
