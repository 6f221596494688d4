#pragma once
// One on-screen window of a running application.

#include <cstdint>
#include <optional>
#include <string>

#include "model/Uuid.h"
#include "platform/Accessibility.h"
#include "platform/Image.h"

namespace vantlo {

struct WindowItem {
    Uuid id;
    Pid pid = 0;
    std::string appName;
    std::optional<std::string> appBundleID;
    ImageRef appIcon;
    std::string title;
    // Kept to raise and close the window later.
    AXElementRef axWindow;
    std::optional<std::uint32_t> cgWindowID;

    // Identity is the id alone.
    bool operator==(const WindowItem& other) const { return id == other.id; }
};

}  // namespace vantlo
