#pragma once
// One browser window as the browser extension describes it: the extension's own ids, its place
// on the screen and its tabs in the tab strip's order. `parseBridgeWindows` reads the answer to
// the extension's "list" command; entries with missing or wrong fields are left out, so a damaged
// answer yields fewer windows, never a crash.

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/Geometry.h"

namespace vantlo {

struct BridgeTab {
    std::int64_t id = 0;
    std::string title;
    std::string url;
    std::string favIconUrl;
    bool active = false;
    bool pinned = false;
};

struct BridgeWindow {
    std::int64_t id = 0;
    bool focused = false;
    bool minimized = false;
    Rect bounds;  // the outer rectangle, frame included
    std::vector<BridgeTab> tabs;

    // The active tab's title: what the window manager shows as the window's title.
    const BridgeTab* activeTab() const;
};

// The "windows" of a list answer, in the order given.
std::vector<BridgeWindow> parseBridgeWindows(const nlohmann::json& listResult);

}  // namespace vantlo
