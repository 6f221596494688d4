#pragma once
// The requests a switcher sends the window manager about one window, as EWMH asks pagers and
// taskbars to send them (source indication 2, a real timestamp). Activations are gathered per
// turn of the main queue (X11ActivationQueue); the other requests first send what is gathered,
// so the manager sees every request in the order it was asked.

#include <xcb/xcb.h>

#include <memory>

#include "platform/linux/X11ActivationQueue.h"
#include "platform/linux/X11Requests.h"
#include "platform/linux/X11WindowList.h"

namespace vantlo {

class X11WindowActions {
  public:
    X11WindowActions(std::shared_ptr<X11Requests> requests, std::shared_ptr<X11WindowList> windows,
                     std::shared_ptr<Dispatch> dispatch);

    // Un-minimises, raises and focuses the window, switching to its desktop first when it is on
    // another one (some managers only mark such a window as demanding attention). Reads nothing
    // now: the request goes out with the main queue's next turn, and a window gone by then is
    // left alone. False only without a connection.
    bool activate(xcb_window_t window);
    // Iconifies through the ICCCM WM_CHANGE_STATE request. False when the window is gone.
    bool minimise(xcb_window_t window);
    // Asks the manager to close the window politely (_NET_CLOSE_WINDOW). False when it is gone.
    bool close(xcb_window_t window);

  private:
    std::shared_ptr<X11Requests> requests_;
    std::shared_ptr<X11WindowList> windows_;
    std::shared_ptr<X11ActivationQueue> activations_;
};

}  // namespace vantlo
