#pragma once
// Builds the complete platform of the Linux X11 desktop: one X connection shared by the window,
// workspace, hot-key, screen and panel-input services; POSIX processes, files and system facts;
// desktop entries as application bundles; the JSON defaults file; and the Linux platform facts
// read from the environment. Without a reachable display the window services answer empty
// lists and the trust test answers false.

#include <memory>
#include <optional>

#include "platform/PanelInput.h"
#include "platform/Platform.h"
#include "platform/posix/JsonFileDefaults.h"

namespace vantlo {

class BrowserBridgeServer;

class XcbConnection;

class LinuxPlatform {
  public:
    struct Options {
        // The main queue and the global queues; required (the program runs them on Qt).
        std::shared_ptr<Dispatch> dispatch;
        // Defaults to the JSON file under $XDG_CONFIG_HOME/vantlo, with the keys of
        // `defaultsSeparateFile` (if any) in a file of their own beside it.
        std::shared_ptr<Defaults> defaults;
        std::optional<JsonFileDefaults::SeparateFile> defaultsSeparateFile;
        // Left null, they are: the interpreted script engine with no scriptable application
        // yet (every script answers nothing, so tab listing falls back to other means), Qt
        // Network loading (made here, so on the main thread) and Qt image decoding.
        std::shared_ptr<ScriptEngine> scriptEngine;
        std::shared_ptr<UrlLoader> urlLoader;
        std::shared_ptr<ImageCodec> imageCodec;
        // nullptr: $DISPLAY.
        const char* displayName = nullptr;
    };

    struct Built {
        std::shared_ptr<Platform> platform;
        std::shared_ptr<PanelInput> panelInput;
        std::shared_ptr<XcbConnection> connection;  // null without a display
        // Made with the real script engine (not with a given one), not yet listening: the
        // program starts it once it knows it is the only copy.
        std::shared_ptr<BrowserBridgeServer> browserBridge;
    };

    static Built create(Options options);
    // The Linux facts for this user: XDG data folders and the default folder handler
    // (`xdg-mime query default inode/directory`).
    static PlatformFacts factsFromEnvironment(const std::string& home, Processes& processes);
};

}  // namespace vantlo
