#pragma once
// Questions about one window element that the switcher asks through the Accessibility
// interface.

#include "platform/Accessibility.h"

namespace vantlo::AXWindowInspector {

// The window's usable close button: its AXCloseButton element, unless that button reports
// AXEnabled false. A button without a readable AXEnabled counts as usable. Nothing (nullptr) when
// the window has no close button or cannot be read.
AXElementRef closeButton(const AXElementRef& window);

}  // namespace vantlo::AXWindowInspector
