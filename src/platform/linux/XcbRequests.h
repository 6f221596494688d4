#pragma once
// The window manager's requests over the backend's one X connection.

#include <memory>

#include "platform/linux/X11Requests.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class XcbRequests : public X11Requests {
  public:
    explicit XcbRequests(std::shared_ptr<XcbConnection> connection);

    const XcbAtoms& atoms() const override { return connection_->atoms(); }
    xcb_window_t root() const override { return connection_->root(); }
    ActivationContext readActivationContext(xcb_window_t window) override;
    xcb_timestamp_t serverTime() override { return connection_->serverTime(); }
    void sendToWindowManager(xcb_window_t window, xcb_atom_t type,
                             const std::array<std::uint32_t, 5>& data) override;
    void flush() override { connection_->flush(); }

  private:
    std::shared_ptr<XcbConnection> connection_;
};

}  // namespace vantlo
