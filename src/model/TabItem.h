#pragma once
// One browser tab.

#include <cstdint>
#include <optional>
#include <string>

#include "model/Uuid.h"
#include "platform/Image.h"
#include "platform/RunningApplication.h"

namespace vantlo {

struct TabItem {
    Uuid id;
    std::string browserBundleID;
    std::string browserAppName;
    Pid browserPID = 0;
    ImageRef appIcon;
    std::string faviconURL;
    std::string title;
    std::string url;
    // Positions as the browser's scripting interface numbers them, from 1.
    std::int64_t windowIndex = 0;
    std::int64_t tabIndex = 0;
    bool isActiveInFrontWindow = false;
    std::optional<std::int64_t> chromeTabID;
    std::optional<std::int64_t> chromeWindowID;

    // "tab::" + browser + "::" + (browser tab id, else title) + "::" + window index + "::" + tab
    // index: names the same tab across enumerations.
    std::string mruKey() const;

    bool operator==(const TabItem& other) const { return id == other.id; }
};

}  // namespace vantlo
