#pragma once
// Lists the windows of every running regular application through the Accessibility interface,
// and brings one window to the front.

#include <vector>

#include "model/WindowItem.h"

namespace vantlo::WindowEnumerator {

// Every window of every regular application, applications in the workspace's order and each
// application's windows in Accessibility order. Nothing is filtered: minimised and untitled
// windows are included. An application whose windows cannot be read contributes none. Slow (one
// Accessibility query per application and window): run it off the main thread where possible.
std::vector<WindowItem> enumerate();

// Activates the window's application, un-minimises the window, makes it main and focused and
// raises it. A file-manager window whose process is gone opens a new file-manager window
// instead. Main thread.
void activate(const WindowItem& item);

}  // namespace vantlo::WindowEnumerator
