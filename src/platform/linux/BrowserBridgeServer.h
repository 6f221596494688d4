#pragma once
// Where browser hosts reach Vantlo: a Unix socket in the user's private runtime folder (the
// folder 0700, the socket 0600; a connecting process must run as this user). Each host tells
// which browser started it; the server registers a scriptable application for that browser under
// its script name, and removes it when the host goes away. All socket work runs on the server's
// own thread; callers on other threads wait for an answer only until their script's deadline.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/Log.h"
#include "platform/PlatformFacts.h"
#include "platform/linux/BrowserWindowDesk.h"
#include "scripting/ScriptApplicationRegistry.h"

namespace vantlo {

class BridgeBrowser;

class BrowserBridgeServer {
  public:
    struct Options {
        std::string socketPath;
        std::vector<BrowserIdentity> browsers;
        std::shared_ptr<ScriptApplicationRegistry> registry;
        std::shared_ptr<BrowserWindowDesk> desk;
        std::shared_ptr<Log> log;
    };
    struct Connected {
        std::string applicationName;
        Pid pid = 0;
    };

    explicit BrowserBridgeServer(Options options);
    ~BrowserBridgeServer();
    BrowserBridgeServer(const BrowserBridgeServer&) = delete;
    BrowserBridgeServer& operator=(const BrowserBridgeServer&) = delete;

    // Called on the server's thread, without waiting, each time a browser's extension connects
    // or goes away; set before `start`.
    void setBrowsersChangedHandler(std::function<void()> handler);
    // Makes the private folder, replaces a stale socket and starts listening; false (logged) when
    // the folder is not private or the socket cannot be made.
    bool start();
    // The browsers whose extension is connected now.
    std::vector<Connected> connected() const;
    // The bridge application serving `applicationName`, if its extension is connected.
    std::shared_ptr<BridgeBrowser> browser(const std::string& applicationName) const;

    // The browser row whose executable names hold the file name of `executablePath`.
    static const BrowserIdentity* browserFor(const std::vector<BrowserIdentity>& browsers,
                                             const std::string& executablePath);

  private:
    class Connection;
    struct Shared;

    void run();

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace vantlo
