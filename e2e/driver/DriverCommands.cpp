#include "DriverCommands.h"

#include <any>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "ViewableWindows.h"
#include "platform/AXNames.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"
#include "platform/posix/ThreadDispatch.h"
#include "testing/MemoryDefaults.h"

namespace vantlo::driver {
namespace {

struct Desktop {
    std::shared_ptr<ThreadDispatch> dispatch = std::make_shared<ThreadDispatch>();
    LinuxPlatform::Built built;
    std::shared_ptr<XcbConnection> connection;
    std::shared_ptr<X11WindowList> windows;
    Accessibility* accessibility = nullptr;

    bool open() {
        LinuxPlatform::Options options;
        options.dispatch = dispatch;
        // In memory, so a test run never touches the user's settings file.
        options.defaults = std::make_shared<MemoryDefaults>();
        built = LinuxPlatform::create(options);
        installPlatform(built.platform);
        connection = built.connection;
        if (!connection) {
            std::fputs("driver: no X display\n", stderr);
            return false;
        }
        windows = std::make_shared<X11WindowList>(connection);
        accessibility = built.platform->accessibility.get();
        return true;
    }
    ~Desktop() {
        drainMainQueue();
        installPlatform(nullptr);
    }

    // Requests to the window manager go out with the main queue's next turn; the process must
    // not end before they have.
    void drainMainQueue() {
        std::promise<void> drained;
        dispatch->async([&drained] { drained.set_value(); });
        drained.get_future().wait();
    }
};

std::uint32_t parseWindow(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 0));
}

std::string closeState(Accessibility& ax, const AXElementRef& window) {
    auto button = ax.copyAttribute(window, AX::closeButton).asElement();
    if (!button)
        return "none";
    auto enabled = ax.copyAttribute(button, AX::enabled);
    if (!enabled.succeeded())
        return "missing";
    return enabled.asBool().value_or(false) ? "enabled" : "disabled";
}

// One line per window of the process, in the order the backend reports them.
void printWindows(Accessibility& ax, Pid pid) {
    auto app = ax.applicationElement(pid);
    auto windows = ax.copyAttribute(app, AX::windows).asElements();
    if (!windows)
        return;
    for (const auto& window : *windows) {
        std::printf("window %u pid %d minimised %d subrole %s close %s title %s\n",
                    ax.windowNumber(window).value_or(0), pid,
                    ax.copyAttribute(window, AX::minimized).asBool().value_or(false) ? 1 : 0,
                    ax.copyAttribute(window, AX::subrole).asString().value_or("-").c_str(),
                    closeState(ax, window).c_str(),
                    ax.copyAttribute(window, AX::title).asString().value_or("").c_str());
    }
}

std::set<Pid> windowOwners(X11WindowList& list) {
    std::set<Pid> pids;
    for (const auto& window : list.snapshot().windows)
        pids.insert(window.pid);
    return pids;
}

// The window element with this number, found the way the switcher finds it: through the
// windows of its owner's application element.
AXElementRef findWindow(Desktop& desktop, std::uint32_t number) {
    for (Pid pid : windowOwners(*desktop.windows)) {
        auto app = desktop.accessibility->applicationElement(pid);
        auto list = desktop.accessibility->copyAttribute(app, AX::windows).asElements();
        for (const auto& window : list.value_or(std::vector<AXElementRef>{})) {
            if (desktop.accessibility->windowNumber(window) == number)
                return window;
        }
    }
    return nullptr;
}

// The switcher's question before a forced quit: does the process show a dialog?
std::string probeDialog(Accessibility& ax, Pid pid) {
    auto windows = ax.copyAttribute(ax.applicationElement(pid), AX::windows).asElements();
    if (!windows)
        return "unreadable";
    for (const auto& window : *windows) {
        auto subrole = ax.copyAttribute(window, AX::subrole).asString().value_or("");
        if (subrole == AX::sheetSubrole || subrole == AX::systemDialogSubrole ||
            subrole == AX::dialogSubrole)
            return "present";
        if (ax.copyAttribute(window, AX::sheet).succeeded())
            return "present";
    }
    return "absent";
}

int windowCommand(Desktop& desktop, const std::string& command, const Arguments& arguments) {
    auto& ax = *desktop.accessibility;
    if (command == "trusted") {
        std::printf("%s\n", ax.isProcessTrusted() ? "trusted" : "untrusted");
        return 0;
    }
    if (command == "windows") {
        std::set<Pid> pids;
        for (const auto& a : arguments)
            pids.insert(static_cast<Pid>(std::atoi(a.c_str())));
        if (pids.empty())
            pids = windowOwners(*desktop.windows);
        for (Pid pid : pids)
            printWindows(ax, pid);
        return 0;
    }
    if (command == "focused" && arguments.size() == 1) {
        auto focused = ax.copyAttribute(ax.applicationElement(std::atoi(arguments[0].c_str())),
                                        AX::focusedWindow)
                           .asElement();
        std::printf("%u\n", focused ? ax.windowNumber(focused).value_or(0) : 0);
        return 0;
    }
    if (command == "probe" && arguments.size() == 1) {
        std::printf("%s\n", probeDialog(ax, std::atoi(arguments[0].c_str())).c_str());
        return 0;
    }
    if (arguments.size() != 1)
        return 2;
    auto window = findWindow(desktop, parseWindow(arguments[0]));
    if (!window) {
        std::fprintf(stderr, "driver: no listed window %s\n", arguments[0].c_str());
        return 1;
    }
    AXError error = AXError::actionUnsupported;
    if (command == "raise") {
        // The switcher's raise: un-minimise when minimised, then main, focused and raise.
        if (ax.copyAttribute(window, AX::minimized).asBool().value_or(false))
            ax.setAttribute(window, AX::minimized, false);
        ax.setAttribute(window, AX::main, true);
        ax.setAttribute(window, AX::focused, true);
        error = ax.performAction(window, AX::raiseAction);
    } else if (command == "minimise") {
        error = ax.setAttribute(window, AX::minimized, true);
    } else if (command == "close") {
        auto button = ax.copyAttribute(window, AX::closeButton).asElement();
        error = button ? ax.performAction(button, AX::pressAction) : AXError::noValue;
    } else {
        return 2;
    }
    std::printf("%s %s\n", command.c_str(), error == AXError::success ? "sent" : "failed");
    return error == AXError::success ? 0 : 1;
}

const char* policyName(ActivationPolicy policy) {
    switch (policy) {
        case ActivationPolicy::regular:
            return "regular";
        case ActivationPolicy::accessory:
            return "accessory";
        case ActivationPolicy::prohibited:
            return "prohibited";
    }
    return "?";
}

void printApp(const char* what, const RunningApplication& app) {
    std::printf("%s %d bundle %s policy %s path %s name %s\n", what, app.pid,
                app.bundleIdentifier.value_or("-").c_str(), policyName(app.activationPolicy),
                app.bundlePath.value_or("-").c_str(), app.localizedName.value_or("-").c_str());
    std::fflush(stdout);
}

// Keeps the process alive for `seconds`; tests end it sooner with a signal.
void waitForEnd(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int appCommand(Desktop& desktop, const std::string& command, const Arguments& arguments) {
    Platform& p = *desktop.built.platform;
    if (command == "apps") {
        for (const auto& app : p.workspace->runningApplications())
            printApp("app", app);
        return 0;
    }
    if (command == "front") {
        if (auto app = p.workspace->frontmostApplication())
            printApp("front", *app);
        return 0;
    }
    if (command == "entries") {
        for (const auto& root : p.facts.appScanRoots) {
            p.fileSystem->enumerate(root, [&](const DirectoryEntry& entry) {
                if (auto bundle = p.appBundles->open(entry.path)) {
                    auto name = bundle->info[BundleKeys::displayName].asString();
                    std::printf("entry %s path %s name %s\n", bundle->identifier->c_str(),
                                bundle->path.c_str(), name.value_or("-").c_str());
                }
                return true;
            });
        }
        return 0;
    }
    if (command == "launch" && arguments.size() == 1) {
        std::promise<int> done;
        p.workspace->openApplication(
            arguments[0], true,
            [&done](std::optional<RunningApplication> app, std::optional<std::string> error) {
                if (app)
                    printApp("launched", *app);
                else
                    std::printf("failed %s\n", error.value_or("").c_str());
                done.set_value(app ? 0 : 1);
            });
        return done.get_future().get();
    }
    if (command == "open" && arguments.size() == 1)
        return p.workspace->open(arguments[0]) ? 0 : 1;
    if (command == "notifications" && arguments.size() == 1) {
        auto report = [](const char* what) {
            return [what](const Notification& n) {
                if (auto* app = std::any_cast<RunningApplication>(&n.object))
                    printApp(what, *app);
            };
        };
        auto activations =
            p.notifications->addObserver(kDidActivateApplication, report("activated"));
        auto terminations =
            p.notifications->addObserver(kDidTerminateApplication, report("terminated"));
        // Learn the running applications, so their ends are noticed.
        p.workspace->runningApplications();
        std::printf("watching\n");
        std::fflush(stdout);
        waitForEnd(std::atof(arguments[0].c_str()));
        return 0;
    }
    if (arguments.size() != 1)
        return 2;
    Pid pid = std::atoi(arguments[0].c_str());
    bool sent = false;
    if (command == "activate-app")
        sent = p.workspace->activate(pid, ActivationOptions::allWindows);
    else if (command == "hide")
        sent = p.workspace->hide(pid);
    else if (command == "quit")
        sent = p.workspace->terminate(pid);
    else if (command == "kill")
        sent = p.workspace->forceTerminate(pid);
    else
        return 2;
    std::printf("%s %s\n", command.c_str(), sent ? "sent" : "refused");
    return sent ? 0 : 1;
}

// Registers a hot key and reports presses; with `panel`, a press also takes the panel's input
// until Option is released, reporting what the panel would see.
int hotKeyCommand(Desktop& desktop, bool panel, const Arguments& arguments) {
    if (arguments.size() != 3)
        return 2;
    Platform& p = *desktop.built.platform;
    auto keyCode = static_cast<std::uint32_t>(std::strtoul(arguments[0].c_str(), nullptr, 0));
    auto modifiers = static_cast<std::uint32_t>(std::strtoul(arguments[1].c_str(), nullptr, 0));
    auto input = desktop.built.panelInput;
    std::mutex mutex;
    bool showing = false;
    auto say = [&mutex](const std::string& line) {
        std::lock_guard lock(mutex);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    // Stopping takes the grab back; it must not run on the event thread that reports to us.
    auto hide = [&, input] {
        std::thread([&, input] {
            input->stop();
            say("released");
        }).detach();
    };
    p.hotKeys->setPressHandler([&](std::uint32_t id) {
        say("pressed " + std::to_string(id));
        if (!panel || showing)
            return;
        showing = true;
        PanelInputEvents events;
        events.onKeyDown = [&](std::uint16_t code, std::uint64_t flags, const std::string& text) {
            say("key " + std::to_string(code) + " flags " + std::to_string(flags) + " text " +
                text);
        };
        events.onFlagsChanged = [&](std::uint64_t flags) {
            say("flags " + std::to_string(flags));
            if (showing && !(flags & (1 << 19))) {
                showing = false;
                hide();
            }
        };
        events.onMouseDown = [&](Point at, MouseButton) {
            say("click " + std::to_string(int(at.x)) + " " + std::to_string(int(at.y)));
        };
        events.onMouseMoved = [](Point) {};
        say(input->start(std::move(events), 0) ? "shown" : "grab-failed");
    });
    bool registered = p.hotKeys->registerHotKey(1, keyCode, modifiers);
    say(registered ? "registered" : "refused");
    if (!registered)
        return 1;
    waitForEnd(std::atof(arguments[2].c_str()));
    p.hotKeys->unregisterHotKey(1);
    input->stop();
    return 0;
}

// Whether another client could take the keyboard now (no grab of ours outlived its use).
int grabProbe(Desktop& desktop) {
    auto* c = desktop.connection->get();
    auto* reply = xcb_grab_keyboard_reply(
        c,
        xcb_grab_keyboard(c, 0, desktop.connection->root(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                          XCB_GRAB_MODE_ASYNC),
        nullptr);
    bool free = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    xcb_flush(c);
    std::printf("%s\n", free ? "free" : "grabbed");
    return 0;
}

// Holds the keyboard for SECONDS as a program with a menu open does, then lets it go by ending.
int holdKeyboard(Desktop& desktop, double seconds) {
    auto* c = desktop.connection->get();
    auto* reply = xcb_grab_keyboard_reply(
        c,
        xcb_grab_keyboard(c, 0, desktop.connection->root(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                          XCB_GRAB_MODE_ASYNC),
        nullptr);
    bool held = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    std::printf("%s\n", held ? "held" : "refused");
    std::fflush(stdout);
    if (!held)
        return 1;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 0;
}

int screenCommand(Desktop& desktop, const std::string& command, const Arguments& arguments) {
    Platform& p = *desktop.built.platform;
    if (command == "screens") {
        for (const auto& screen : p.screens->screens()) {
            std::printf("screen %g %g %g %g visible %g %g %g %g\n", screen.frame.x, screen.frame.y,
                        screen.frame.width, screen.frame.height, screen.visibleFrame.x,
                        screen.visibleFrame.y, screen.visibleFrame.width,
                        screen.visibleFrame.height);
        }
        auto pointer = p.screens->pointerLocation();
        std::printf("pointer %g %g\n", pointer.x, pointer.y);
        return 0;
    }
    if (command == "capture" && arguments.size() == 1) {
        auto image = p.windowServer->captureWindow(parseWindow(arguments[0]), 64);
        if (!image) {
            std::printf("no-image\n");
            return 1;
        }
        std::uint32_t centre = image->pixels[image->pixels.size() / 2];
        std::printf("image %dx%d centre %06x\n", image->width, image->height, centre & 0xFFFFFF);
        return 0;
    }
    if (command == "onscreen") {
        for (const auto& w : p.windowServer->onScreenWindows()) {
            std::printf("onscreen %u pid %d owner %s title %s\n", w.number, w.ownerPID.value_or(0),
                        w.ownerName.value_or("-").c_str(), w.title.c_str());
        }
        return 0;
    }
    return 2;
}

}  // namespace

const char* usage() {
    return "usage: vantlo-x11-driver COMMAND [ARGUMENTS]\n"
           "  trusted | windows [PID...] | focused PID | probe PID\n"
           "  raise WINDOW | minimise WINDOW | close WINDOW\n"
           "  apps | front | entries | launch DESKTOP-FILE | open URL-OR-PATH\n"
           "  activate-app PID | hide PID | quit PID | kill PID | notifications SECONDS\n"
           "  hotkey KEYCODE CARBON-MODIFIERS SECONDS | panel KEYCODE CARBON-MODIFIERS SECONDS\n"
           "  grab-probe | hold-keyboard SECONDS\n"
           "  screens | capture WINDOW | onscreen | viewable TITLE\n"
           "  pause-media BUNDLE-ID   (what a forced quit of a media player asks first)\n";
}

int runCommand(const std::string& command, const Arguments& arguments) {
    static const std::set<std::string> windowCommands = {"trusted", "windows",  "focused", "probe",
                                                         "raise",   "minimise", "close"};
    static const std::set<std::string> appCommands = {
        "apps",          "front",        "entries", "launch", "open",
        "notifications", "activate-app", "hide",    "quit",   "kill"};
    static const std::set<std::string> screenCommands = {"screens", "capture", "onscreen"};
    // Needs no platform: it is polled while windows come and go.
    if (command == "viewable" && arguments.size() == 1)
        return printViewableWindows(arguments[0]);
    Desktop desktop;
    if (!desktop.open())
        return command == "trusted" ? (std::puts("untrusted"), 0) : 1;
    if (windowCommands.count(command))
        return windowCommand(desktop, command, arguments);
    if (appCommands.count(command))
        return appCommand(desktop, command, arguments);
    if (screenCommands.count(command))
        return screenCommand(desktop, command, arguments);
    if (command == "hotkey" || command == "panel")
        return hotKeyCommand(desktop, command == "panel", arguments);
    if (command == "grab-probe")
        return grabProbe(desktop);
    if (command == "hold-keyboard" && arguments.size() == 1)
        return holdKeyboard(desktop, std::atof(arguments[0].c_str()));
    if (command == "pause-media" && arguments.size() == 1) {
        // The script a forced quit of that application sends first.
        auto media = platform().facts.mediaAppNames.find(arguments[0]);
        if (media == platform().facts.mediaAppNames.end())
            return 1;
        platform().scriptEngine->execute("tell application \"" + media->second + "\" to pause", 5);
        std::printf("asked %s to pause\n", arguments[0].c_str());
        return 0;
    }
    std::fputs(usage(), stderr);
    return 2;
}

}  // namespace vantlo::driver
