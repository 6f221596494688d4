#pragma once
// The window server of the fake desktop: the on-screen list is every open, un-minimised window of
// a visible application, front to back; a capture is a small image whose pixels carry the window
// number, so tests can tell captures apart. Capture needs permission (`setCapturePermitted`).

#include <cstdint>

#include "platform/WindowServer.h"
#include "testing/FakeDesktop.h"

namespace vantlo {

class FakeWindowServer : public WindowServer {
  public:
    explicit FakeWindowServer(FakeDesktop& desktop) : desktop_(desktop) {}

    std::vector<WindowInfo> onScreenWindows() override;
    ImageRef captureWindow(std::uint32_t windowNumber, int maxPixelSize) override;
    bool capturePreflight() override;

    void setCapturePermitted(bool permitted);
    // How many captures were attempted (permitted or not).
    int captureCount();

  private:
    FakeDesktop& desktop_;
    bool permitted_ = true;
    int captures_ = 0;
};

}  // namespace vantlo
