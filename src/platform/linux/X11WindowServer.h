#pragma once
// The window server on X11: the managed windows that are on screen (front to back, without
// desktop and dock windows) and window capture for thumbnails, from Composite's named pixmap
// when a compositing manager redirects the window, else from the window itself while it is
// viewable. X11 asks no permission for capture.

#include <functional>
#include <memory>

#include "platform/WindowServer.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11WindowServer : public WindowServer {
  public:
    // The owner's display name for a process (its application's name); may answer nothing.
    using OwnerName = std::function<std::optional<std::string>(Pid)>;

    X11WindowServer(std::shared_ptr<XcbConnection> connection,
                    std::shared_ptr<X11WindowList> windows, OwnerName ownerName);

    std::vector<WindowInfo> onScreenWindows() override;
    ImageRef captureWindow(std::uint32_t windowNumber, int maxPixelSize) override;
    bool capturePreflight() override { return true; }

  private:
    ImageRef capture(xcb_drawable_t drawable, int width, int height, int depth, int maxPixelSize);

    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<X11WindowList> windows_;
    OwnerName ownerName_;
};

}  // namespace vantlo
