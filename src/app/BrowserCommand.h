#pragma once
// `vantlo browser install` and `vantlo browser status`: the per-user setup that lets browsers
// start the native-messaging host, and a report of which browsers' extensions reach Vantlo now.
// Needs no display; it writes only below the user's home and data folders.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/BrowserHostTarget.h"
#include "preferences/BrowserAccess.h"

namespace vantlo {

class BrowserCommand {
  public:
    static constexpr const char* kHostName = "com.local.vantlo.browser_host";
    static constexpr const char* kChromiumExtensionID = "nopojmpdbjgdodmmepmgofihahpnffdb";
    static constexpr const char* kFirefoxExtensionID = "tabs@vantlo.local";

    struct Environment {
        std::string home;
        std::string configHome;
        // Where the extension's copy goes: <dataHome>/vantlo/browser-extension.
        std::string dataHome;
        // The host executable the manifests name (an absolute path).
        std::string hostPath;
        // The unpacked extension folder and the unsigned XPI that came with the program.
        std::string extensionSource;
        std::string xpiSource;
        std::string socketPath;
        // Prefixed to the system-wide manifest folders ("" on a real system).
        std::string systemRoot;
        // Whether the browser is installed; by default, one of its executables is on PATH.
        std::function<bool(const BrowserHostTarget&)> isInstalled;

        // This program's environment, with its resources found from its own executable.
        static Environment current();
    };

    // A browser whose extension is connected now, as the running Vantlo reports it.
    struct Connected {
        std::string applicationName;
        int pid = 0;
    };

    static int run(const std::vector<std::string>& arguments, const Environment& environment,
                   std::ostream& out, std::ostream& err);
    static int install(const Environment& environment, std::ostream& out, std::ostream& err);
    static int status(const Environment& environment, std::ostream& out);
    // Each browser that is installed, has this user's host manifest or is connected, in report
    // order; its manifest counts as in place per user or system-wide. Reads files and PATH: not
    // for the main thread.
    static std::vector<BrowserAccess> statuses(const Environment& environment,
                                               const std::vector<Connected>& connected);

    // The host manifest a browser of this kind reads.
    static std::string manifestText(const BrowserHostTarget& target, const std::string& hostPath);
    // The browsers connected to the Vantlo listening at `socketPath`; nothing when no Vantlo
    // answers within a second.
    static std::optional<std::vector<Connected>> askConnected(const std::string& socketPath);
};

}  // namespace vantlo
