#pragma once
// The alert sound on X11: the server's bell.

#include <memory>

#include "platform/Sound.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11Sound : public Sound {
  public:
    explicit X11Sound(std::shared_ptr<XcbConnection> connection)
        : connection_(std::move(connection)) {}
    void beep() override {
        if (!connection_)
            return;
        xcb_bell(connection_->get(), 0);
        connection_->flush();
    }

  private:
    std::shared_ptr<XcbConnection> connection_;
};

}  // namespace vantlo
