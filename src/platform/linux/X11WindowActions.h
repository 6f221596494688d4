#pragma once
// The requests a switcher sends the window manager about one window, as EWMH asks pagers and
// taskbars to send them (source indication 2, a real timestamp).

#include <xcb/xcb.h>

#include <memory>

#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11WindowActions {
  public:
    X11WindowActions(std::shared_ptr<XcbConnection> connection,
                     std::shared_ptr<X11WindowList> windows);

    // Un-minimises, raises and focuses the window, switching to its desktop first when it is on
    // another one (some managers only mark such a window as demanding attention). False when
    // the window is gone.
    bool activate(xcb_window_t window);
    // Iconifies through the ICCCM WM_CHANGE_STATE request.
    bool minimise(xcb_window_t window);
    // Asks the manager to close the window politely (_NET_CLOSE_WINDOW).
    bool close(xcb_window_t window);

  private:
    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<X11WindowList> windows_;
};

}  // namespace vantlo
