#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/BrowserBridgeServer.h"
#include "platform/linux/DesktopEntryBundles.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/MprisPlayer.h"
#include "platform/linux/QtImageCodec.h"
#include "platform/linux/QtPasteboard.h"
#include "platform/linux/QtUrlLoader.h"
#include "platform/linux/X11Accessibility.h"
#include "platform/linux/X11BrowserWindowDesk.h"
#include "platform/linux/X11HotKeys.h"
#include "platform/linux/X11PanelInput.h"
#include "platform/linux/X11Screens.h"
#include "platform/linux/X11Sound.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/X11WindowServer.h"
#include "platform/linux/X11Workspace.h"
#include "platform/linux/XcbConnection.h"
#include "platform/linux/XcbRequests.h"
#include "platform/linux/XdgLoginItems.h"
#include "platform/posix/ExecutableBundle.h"
#include "platform/posix/JsonFileDefaults.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PosixSystemInfo.h"
#include "platform/posix/StandardErrorLog.h"
#include "platform/posix/SystemClock.h"
#include "platform/posix/XdgFacts.h"
#include "protocol/BridgeSocketPath.h"
#include "scripting/InterpretedScriptEngine.h"

namespace vantlo {
PlatformFacts LinuxPlatform::factsFromEnvironment(const std::string& home, Processes& processes) {
    return XdgFacts::fromEnvironment(home, &processes);
}

LinuxPlatform::Built LinuxPlatform::create(Options options) {
    auto p = std::make_shared<Platform>();
    auto log = std::make_shared<StandardErrorLog>();
    auto processes = std::make_shared<PosixProcesses>(log);
    auto files = std::make_shared<PosixFileSystem>();

    p->log = log;
    p->dispatch = options.dispatch;
    p->clock = std::make_shared<SystemClock>();
    p->defaults = options.defaults
                      ? options.defaults
                      : std::make_shared<JsonFileDefaults>(JsonFileDefaults::defaultPath(), log,
                                                           options.defaultsSeparateFile);
    p->notifications = std::make_shared<NotificationCenter>(*options.dispatch);
    p->processes = processes;
    p->fileSystem = files;
    p->systemInfo = std::make_shared<PosixSystemInfo>();
    p->facts = factsFromEnvironment(files->homeDirectory(), *processes);
    auto scriptedApps = std::make_shared<ScriptApplicationRegistry>();
    // Media players answer "pause" through MPRIS (before a forced quit).
    for (const auto& [bundleID, scriptingName] : p->facts.mediaAppNames) {
        if (!scriptedApps->find(scriptingName))
            scriptedApps->add(scriptingName, std::make_shared<MprisPlayer>(scriptingName));
    }
    p->scriptEngine = options.scriptEngine
                          ? options.scriptEngine
                          : std::make_shared<InterpretedScriptEngine>(scriptedApps, p->clock);
    p->urlLoader = options.urlLoader ? options.urlLoader : std::make_shared<QtUrlLoader>();
    p->imageCodec = options.imageCodec ? options.imageCodec : std::make_shared<QtImageCodec>();
    p->pasteboard = std::make_shared<QtPasteboard>();
    p->loginItems =
        std::make_shared<XdgLoginItems>(XdgLoginItems::defaultEntryPath(files->homeDirectory()),
                                        ExecutableBundle::currentExecutablePath());

    auto entries = std::make_shared<DesktopEntryIndex>(p->facts.appScanRoots,
                                                       DesktopEntry::userLocales(), log);
    p->appBundles = std::make_shared<DesktopEntryBundles>(entries);

    auto connection = XcbConnection::open(options.displayName, log);
    auto windows = connection ? std::make_shared<X11WindowList>(connection, p->dispatch) : nullptr;
    auto actions = connection ? std::make_shared<X11WindowActions>(
                                    std::make_shared<XcbRequests>(connection), windows, p->dispatch)
                              : nullptr;
    p->accessibility = std::make_shared<X11Accessibility>(connection, windows, actions);
    auto workspace = X11Workspace::create(
        {connection, windows, actions, entries, processes, p->notifications, p->dispatch, log});
    p->workspace = workspace;
    std::weak_ptr<X11Workspace> weakWorkspace = workspace;
    p->windowServer = std::make_shared<X11WindowServer>(
        connection, windows, [weakWorkspace](Pid pid) -> std::optional<std::string> {
            auto workspace = weakWorkspace.lock();
            if (!workspace)
                return std::nullopt;
            auto app = workspace->runningApplication(pid);
            return app ? app->localizedName : std::nullopt;
        });
    auto hotKeys = X11HotKeys::create(connection);
    p->hotKeys = hotKeys;
    p->screens = std::make_shared<X11Screens>(connection, windows);
    p->sound = std::make_shared<X11Sound>(connection);
    // No update framework on Linux: distributions and AppImage tools update the program.
    p->updater = nullptr;

    Built built;
    built.platform = p;
    built.panelInput = X11PanelInput::create(connection, hotKeys, p->dispatch, log);
    built.connection = connection;
    if (!options.scriptEngine)
        built.browserBridge = std::make_shared<BrowserBridgeServer>(BrowserBridgeServer::Options{
            bridge::bridgeSocketPath(), p->facts.browsers, scriptedApps,
            std::make_shared<X11BrowserWindowDesk>(windows, actions), log});
    return built;
}

}  // namespace vantlo
