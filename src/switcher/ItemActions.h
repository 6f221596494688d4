#pragma once
// What closing an item would do, and how to bring it forward or close it, for each kind of
// switch item. The work itself is done by the window layer, the activator and the tab scripts.

#include "model/CloseCapability.h"
#include "model/SwitchItem.h"

namespace vantlo::ItemActions {

CloseCapability closeCapability(const SwitchItem& item);
// Raises the window, selects the tab, or activates or launches the application.
void activate(const SwitchItem& item);
// Closes the window or tab, or asks the application to quit. Does not look at the capability:
// callers check it first.
void close(const SwitchItem& item);

}  // namespace vantlo::ItemActions
