#pragma once
// The whole fake desktop in one place: builds every fake service, installs them as the platform
// and hands tests typed access to each fake for scenario set-up and assertions.
//
//   FakePlatform fake;                 // installs itself; macOS facts unless told otherwise
//   fake.dispatch->advance(2.8);       // virtual time
//
// Scenario helpers read like a story:
//
//   auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
//   auto& notes = fake.addWindow(editor, "Notes.txt");          // opens in front
//   fake.addWindow(editor, {.title = "Save?", .subrole = AX::dialogSubrole});
//   fake.setFrontmost(editor);         // posts kDidActivateApplication
//   fake.closeWindow(notes);           // its element goes stale
//   fake.quitApp(editor);              // posts kDidTerminateApplication
//   fake.addInstalledApp("/Applications/Maps.app", "com.apple.Maps", "Maps");
//
// Effects land in `fake.effects` (activations, terminations, signals, raises, scripts, log
// lines, ...; `journal` has them all in order). The services, each with its own test knobs:
//   desktop        the model (FakeDesktop): applications, windows, stacking, frontmost
//   workspace      FakeWorkspace: failOpen, refuseOpen, setFileIcon
//   accessibility  FakeAccessibility: setTrusted, windowElement, nodeElement
//   windowServer   FakeWindowServer: setCapturePermitted, captureCount
//   bundles        FakeAppBundles: add, remove, setMainBundle
//   files          FakeFileSystem: addDirectory/addFile/addPackage, setUnreadable, emitChange
//   processes      FakeProcesses: setCurrentPid/Uid, addProcess, setProgramResult
//   scripts        FakeScriptEngine: setResult, setHandler, sources
//   urls           FakeUrlLoader: respond, fail, requests
//   images         FakeImageCodec (decodes by file signature)
//   pasteboard, sound, screens (setScreens, setPointer), hotKeys (press, refuse), loginItems,
//   log (lines), systemInfo, updater (null with the Linux facts: no update framework there)

#include <concepts>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "testing/FakeAccessibility.h"
#include "testing/FakeAppBundles.h"
#include "testing/FakeClock.h"
#include "testing/FakeDesktop.h"
#include "testing/FakeDispatch.h"
#include "testing/FakeEffects.h"
#include "testing/FakeFileSystem.h"
#include "testing/FakeHotKeys.h"
#include "testing/FakeImageCodec.h"
#include "testing/FakeLog.h"
#include "testing/FakeLoginItems.h"
#include "testing/FakePasteboard.h"
#include "testing/FakeProcesses.h"
#include "testing/FakeScreens.h"
#include "testing/FakeScriptEngine.h"
#include "testing/FakeSound.h"
#include "testing/FakeSystemInfo.h"
#include "testing/FakeUpdater.h"
#include "testing/FakeUrlLoader.h"
#include "testing/FakeWindowServer.h"
#include "testing/FakeWorkspace.h"
#include "testing/MemoryDefaults.h"

namespace vantlo {

class FakePlatform {
  public:
    enum class Facts { macOS, linux };

    explicit FakePlatform(Facts facts = Facts::macOS);
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    std::shared_ptr<FakeClock> clock;
    std::shared_ptr<FakeDispatch> dispatch;
    std::shared_ptr<MemoryDefaults> defaults;
    std::shared_ptr<NotificationCenter> notifications;
    std::shared_ptr<FakeEffects> effects;
    std::shared_ptr<FakeDesktop> desktop;
    std::shared_ptr<FakeAppBundles> bundles;
    std::shared_ptr<FakeWorkspace> workspace;
    std::shared_ptr<FakeAccessibility> accessibility;
    std::shared_ptr<FakeWindowServer> windowServer;
    std::shared_ptr<FakeFileSystem> files;
    std::shared_ptr<FakeProcesses> processes;
    std::shared_ptr<FakeScriptEngine> scripts;
    std::shared_ptr<FakeUrlLoader> urls;
    std::shared_ptr<FakeImageCodec> images;
    std::shared_ptr<FakePasteboard> pasteboard;
    std::shared_ptr<FakeSound> sound;
    std::shared_ptr<FakeScreens> screens;
    std::shared_ptr<FakeHotKeys> hotKeys;
    std::shared_ptr<FakeLoginItems> loginItems;
    std::shared_ptr<FakeLog> log;
    std::shared_ptr<FakeSystemInfo> systemInfo;
    std::shared_ptr<FakeUpdater> updater;

    Platform& services() { return *services_; }
    const PlatformFacts& facts() const { return services_->facts; }

    // Scenario helpers (see the top of this file and FakeDesktop.h).
    FakeApp& addApp(FakeApp spec) { return desktop->addApp(std::move(spec)); }
    FakeWindow& addWindow(FakeApp& app, FakeWindow spec);
    // A standard window with a title (a template so a designated initializer list picks the
    // overload above).
    template <class Title>
    requires std::convertible_to<Title, std::string> FakeWindow& addWindow(FakeApp& app,
                                                                           const Title& title) {
        return desktop->addWindow(app, std::string(title));
    }
    void closeWindow(FakeWindow& window) { desktop->closeWindow(window); }
    void quitApp(FakeApp& app) { desktop->quitApp(app); }
    void setFrontmost(FakeApp& app) { desktop->setFrontmost(app); }
    // The element the application's AXWindows lists for the window.
    AXElementRef element(const FakeWindow& window) { return accessibility->windowElement(window); }

    // An installed application: a bundle in the file tree ("*.app" as a package, a desktop entry
    // as a file) that opens with the identifier and name (CFBundleName) given.
    void addInstalledApp(const std::string& path, const std::string& bundleID,
                         const std::string& name);
    // The same with the bundle's information given in full (identifier may be absent).
    void addInstalledApp(BundleInfo bundle);
    // Starts an installed application as if the user launched it; its bundle path is `path`.
    FakeApp& launchInstalledApp(const std::string& path);

  private:
    std::shared_ptr<Platform> services_;
};

}  // namespace vantlo
