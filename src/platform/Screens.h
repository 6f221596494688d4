#pragma once
// Stands in for the displays and the pointer. Coordinates are global logical points, origin at
// the top-left of the virtual desktop, y growing down (see Geometry.h).

#include <optional>
#include <vector>

#include "platform/Geometry.h"

namespace vantlo {

struct Screen {
    Rect frame;
    // The frame without the areas reserved by panels, docks and the menu bar.
    Rect visibleFrame;
    double scaleFactor = 1.0;
};

class Screens {
  public:
    virtual ~Screens() = default;
    // All screens; the first is the primary one (the one with the menu bar). May be empty.
    virtual std::vector<Screen> screens() = 0;
    // The screen holding the active window, else the primary one; nothing without screens.
    virtual std::optional<Screen> mainScreen() = 0;
    virtual Point pointerLocation() = 0;
};

}  // namespace vantlo
