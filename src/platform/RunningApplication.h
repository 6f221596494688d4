#pragma once
// A snapshot of one running application as the workspace reports it.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Image.h"

namespace vantlo {

using Pid = std::int32_t;

enum class ActivationPolicy {
    regular = 0,     // an ordinary application with windows and a taskbar presence
    accessory = 1,   // no taskbar presence, may show windows (tray tools, panels)
    prohibited = 2,  // background only
};

struct RunningApplication {
    Pid pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    ImageRef icon;
    // Location of the application bundle (on Linux: its desktop entry file).
    std::optional<std::string> bundlePath;
    std::optional<std::string> executablePath;
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isTerminated = false;
};

// Options of Workspace::activate, as bit flags.
namespace ActivationOptions {
inline constexpr unsigned none = 0;
inline constexpr unsigned allWindows = 1;
inline constexpr unsigned ignoringOtherApps = 2;
}  // namespace ActivationOptions

}  // namespace vantlo
