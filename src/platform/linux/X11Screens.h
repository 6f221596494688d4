#pragma once
// Screens on X11: RandR monitors (the primary first), each with its visible frame: the part of
// _NET_WORKAREA on that monitor, or, when the manager publishes no work area, the monitor less
// the struts docks and panels reserve (_NET_WM_STRUT_PARTIAL). The pointer from QueryPointer.

#include <xcb/randr.h>

#include <array>
#include <chrono>
#include <memory>
#include <mutex>

#include "platform/Screens.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11Screens : public Screens {
  public:
    X11Screens(std::shared_ptr<XcbConnection> connection, std::shared_ptr<X11WindowList> windows);

    std::vector<Screen> screens() override;
    std::optional<Screen> mainScreen() override;
    Point pointerLocation() override;

  private:
    std::vector<Screen> readScreens();
    std::vector<Rect> monitors(xcb_randr_get_monitors_cookie_t* request);
    std::optional<Rect> workArea(xcb_get_property_cookie_t desktopRequest,
                                 xcb_get_property_cookie_t areasRequest);
    // Left, right, top, bottom reservations of every client, from _NET_WM_STRUT(_PARTIAL).
    std::vector<std::array<double, 4>> struts();

    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<X11WindowList> windows_;
    // One showing of the panel asks for the screens more than once within milliseconds.
    std::mutex mutex_;
    std::vector<Screen> recent_;
    std::chrono::steady_clock::time_point recentAt_;
};

}  // namespace vantlo
