#pragma once
// The part of the X desktop a browser bridge needs: the browser process's windows with their
// titles and outer rectangles, topmost first; the active window; and raising one of them with
// _NET_ACTIVE_WINDOW (window managers that refuse a focus request from the browser itself still
// obey a pager's). Empty lists and no-ops without a display.

#include <cstdint>
#include <vector>

#include "platform/RunningApplication.h"
#include "platform/linux/BrowserWindowMatcher.h"

namespace vantlo {

class BrowserWindowDesk {
  public:
    virtual ~BrowserWindowDesk() = default;
    virtual std::vector<DeskWindow> windowsOf(Pid pid) = 0;
    virtual std::uint32_t activeWindow() = 0;
    virtual void raise(std::uint32_t window) = 0;
};

}  // namespace vantlo
