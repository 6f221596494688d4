#pragma once
// Hides the X connection from the code that words requests to the window manager: the few facts
// a request needs (a server time, where the window and the user are) and the sending of client
// messages. XcbRequests is the real one; tests record what would have been sent.

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <optional>

#include "platform/linux/XcbAtoms.h"

namespace vantlo {

// What activating one window needs to know, read together in one round trip.
struct ActivationContext {
    // False when the window no longer exists: nothing is sent for it.
    bool windowExists = false;
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    std::optional<std::uint32_t> windowDesktop;
    std::optional<std::uint32_t> currentDesktop;
    xcb_window_t activeWindow = XCB_NONE;
};

class X11Requests {
  public:
    virtual ~X11Requests() = default;

    virtual const XcbAtoms& atoms() const = 0;
    virtual xcb_window_t root() const = 0;
    // One real server time plus the window's and the current desktop and the active window. On a
    // broken connection: the window does not exist.
    virtual ActivationContext readActivationContext(xcb_window_t window) = 0;
    // A server time on its own (one round trip).
    virtual xcb_timestamp_t serverTime() = 0;
    // A client message to the root window, as EWMH asks pagers and taskbars to send them.
    // Queued until flush().
    virtual void sendToWindowManager(xcb_window_t window, xcb_atom_t type,
                                     const std::array<std::uint32_t, 5>& data) = 0;
    virtual void flush() = 0;
};

}  // namespace vantlo
