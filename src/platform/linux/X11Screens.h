#pragma once
// Screens on X11: RandR monitors (the primary first), each with its visible frame: the part of
// _NET_WORKAREA on that monitor, or, when the manager publishes no work area, the monitor less
// the struts docks and panels reserve (_NET_WM_STRUT_PARTIAL). The pointer from QueryPointer.

#include <array>
#include <memory>

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
    std::vector<Rect> monitors();
    std::optional<Rect> workArea();
    // Left, right, top, bottom reservations of every client, from _NET_WM_STRUT(_PARTIAL).
    std::vector<std::array<double, 4>> struts();

    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<X11WindowList> windows_;
};

}  // namespace vantlo
