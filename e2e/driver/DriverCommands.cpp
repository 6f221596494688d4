#include "DriverCommands.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "platform/AXNames.h"
#include "platform/linux/X11Accessibility.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"
#include "platform/posix/StandardErrorLog.h"

namespace vantlo::driver {
namespace {

struct Desktop {
    std::shared_ptr<Log> log = std::make_shared<StandardErrorLog>();
    std::shared_ptr<XcbConnection> connection;
    std::shared_ptr<X11WindowList> windows;
    std::shared_ptr<X11WindowActions> actions;
    std::shared_ptr<X11Accessibility> accessibility;

    bool open() {
        connection = XcbConnection::open(nullptr, log);
        if (!connection) {
            std::fputs("driver: no X display\n", stderr);
            return false;
        }
        windows = std::make_shared<X11WindowList>(connection);
        actions = std::make_shared<X11WindowActions>(connection, windows);
        accessibility = std::make_shared<X11Accessibility>(connection, windows, actions);
        return true;
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

int windowCommand(const std::string& command, const Arguments& arguments) {
    Desktop desktop;
    if (!desktop.open())
        return 1;
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

}  // namespace

const char* usage() {
    return "usage: vantlo-x11-driver COMMAND [ARGUMENTS]\n"
           "  trusted | windows [PID...] | focused PID | probe PID\n"
           "  raise WINDOW | minimise WINDOW | close WINDOW\n";
}

int runCommand(const std::string& command, const Arguments& arguments) {
    static const std::set<std::string> windowCommands = {"trusted", "windows",  "focused", "probe",
                                                         "raise",   "minimise", "close"};
    if (windowCommands.count(command))
        return windowCommand(command, arguments);
    std::fputs(usage(), stderr);
    return 2;
}

}  // namespace vantlo::driver
