#pragma once
// Whether Vantlo can reach one supported browser's tabs: the browser can start Vantlo's
// native-messaging host (its host manifest is in place, per user or system-wide), and the
// Vantlo Tabs extension in it is connected to the running Vantlo now.

#include <string>
#include <vector>

namespace vantlo {

struct BrowserAccess {
    std::string applicationName;
    bool hostManifestInPlace = false;
    // The processes of this browser whose extension is connected now; empty when none is.
    std::vector<int> connectedPids;

    bool extensionConnected() const { return !connectedPids.empty(); }
};

}  // namespace vantlo
