// vantlo-browser-host: started by a browser for the Vantlo Tabs extension (native messaging).
// Chromium passes the extension's origin as the first argument; Firefox passes the path of the
// host manifest and then the extension's id.

#include <csignal>
#include <iostream>
#include <string>
#include <string_view>

#include "BrowserHost.h"
#include "ParentBrowser.h"
#include "protocol/BridgeSocketPath.h"

namespace {

std::string originFrom(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("chrome-extension://") || argument.find('@') != argument.npos)
            return std::string(argument);
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "--help") {
        std::cout << "vantlo-browser-host: the native-messaging host of the Vantlo Tabs browser "
                     "extension.\nBrowsers start it; it relays between the extension and Vantlo "
                     "at "
                  << vantlo::bridge::bridgeSocketPath() << ".\n";
        return 0;
    }
    std::signal(SIGPIPE, SIG_IGN);
    vantlo::bridge::BrowserHost::Options options;
    options.socketPath = vantlo::bridge::bridgeSocketPath();
    options.identity =
        vantlo::bridge::ParentBrowser::ofThisProcess().identity(originFrom(argc, argv));
    vantlo::bridge::BrowserHost host(std::move(options), [](const std::string& line) {
        std::cerr << "vantlo-browser-host: " << line << std::endl;
    });
    return host.run();
}
