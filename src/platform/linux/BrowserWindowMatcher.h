#pragma once
// Pairs the browser extension's windows with the browser's X windows. No X property carries the
// extension's window id, so the pairing rests on what both sides show: the window manager's title
// is the active tab's title (Chromium adds " - Chromium", Firefox " — Mozilla Firefox"), the
// outer rectangles agree, and a window the extension reports focused while the X active window is
// one of the browser's is that window. Pairs seen that way are remembered while both windows live.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/linux/BridgeWindow.h"

namespace vantlo {

// One X window of the browser's process, topmost first in the lists handed in.
struct DeskWindow {
    std::uint32_t id = 0;
    std::string title;
    Rect frame;  // outer rectangle, frame included
};

class BrowserWindowMatcher {
  public:
    // Extension window id → X window id, for the windows that could be paired.
    std::map<std::int64_t, std::uint32_t> match(const std::vector<BridgeWindow>& windows,
                                                const std::vector<DeskWindow>& desk,
                                                std::uint32_t activeDeskWindow);

    // Whether the window manager's title shows this tab title.
    static bool titleShows(const std::string& windowTitle, const std::string& tabTitle);

  private:
    std::map<std::int64_t, std::uint32_t> confirmed_;
};

}  // namespace vantlo
