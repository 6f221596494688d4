#pragma once
// Stands in for the window server: the list of on-screen windows with their owners, and the
// capture of one window's pixels for thumbnails.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/RunningApplication.h"

namespace vantlo {

struct WindowInfo {
    std::uint32_t number = 0;
    std::optional<std::string> ownerName;
    std::optional<Pid> ownerPID;
    std::string title;
    Rect bounds;
};

class WindowServer {
  public:
    virtual ~WindowServer() = default;

    // On-screen windows, front to back, without desktop elements. Empty when unavailable.
    virtual std::vector<WindowInfo> onScreenWindows() = 0;
    // The window's current pixels, scaled down so neither side exceeds `maxPixelSize`;
    // nullptr when the window is gone, not viewable or capture is not permitted.
    virtual ImageRef captureWindow(std::uint32_t windowNumber, int maxPixelSize) = 0;
    // Whether capture is permitted without asking the user.
    virtual bool capturePreflight() = 0;
};

}  // namespace vantlo
