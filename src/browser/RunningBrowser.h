#pragma once
// A running process of a supported browser, as found among the running applications or, failing
// that, among the window server's window owners.

#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/RunningApplication.h"

namespace vantlo {

struct RunningBrowser {
    Pid pid = 0;
    std::string name;
    ImageRef icon;
    std::optional<RunningApplication> app;
};

}  // namespace vantlo
