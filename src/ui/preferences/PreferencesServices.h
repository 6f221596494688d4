#pragma once
// What the preferences window needs from the program above it: the diagnostics report, the
// issue tracker's address, facts of the session, and giving the desktop back the Alt+Tab that
// the guide freed.

#include <functional>
#include <string>

#include "preferences/BrowserAccessModel.h"

namespace vantlo {

struct PreferencesServices {
    std::function<std::string()> diagnosticsText;
    std::string issuesURL;
    // A Wayland session, where Vantlo cannot control windows.
    bool waylandSession = false;
    // The desktop whose own Alt+Tab binding Vantlo changed; empty when none is remembered.
    std::function<std::string()> freedDesktopName;
    // Puts that binding back; `done(ok, why)` runs on the main thread.
    using GiveBackDone = std::function<void(bool ok, const std::string& why)>;
    std::function<void(GiveBackDone)> giveBackDesktopKey;
    // Reads the state of each supported browser (blocking; called off the main thread). Without
    // it the General pane shows no browser section.
    BrowserAccessModel::Reader browserAccess;
};

}  // namespace vantlo
