#pragma once
// The browser bridge's view of the X desktop, read through the window list and raised through
// the window actions the rest of the Linux backend uses.

#include <memory>

#include "platform/linux/BrowserWindowDesk.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"

namespace vantlo {

class X11BrowserWindowDesk : public BrowserWindowDesk {
  public:
    X11BrowserWindowDesk(std::shared_ptr<X11WindowList> windows,
                         std::shared_ptr<X11WindowActions> actions);

    std::vector<DeskWindow> windowsOf(Pid pid) override;
    std::uint32_t activeWindow() override;
    void raise(std::uint32_t window) override;

  private:
    std::shared_ptr<X11WindowList> windows_;
    std::shared_ptr<X11WindowActions> actions_;
};

}  // namespace vantlo
