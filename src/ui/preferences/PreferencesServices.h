#pragma once
// What the preferences window needs from the program above it: the diagnostics report, the
// issue tracker's address and facts of the session.

#include <functional>
#include <string>

namespace vantlo {

struct PreferencesServices {
    std::function<std::string()> diagnosticsText;
    std::string issuesURL;
    // A Wayland session, where Vantlo cannot control windows.
    bool waylandSession = false;
};

}  // namespace vantlo
