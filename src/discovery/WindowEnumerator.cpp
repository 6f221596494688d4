#include "discovery/WindowEnumerator.h"

#include "discovery/AppActivator.h"
#include "platform/AXNames.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo::WindowEnumerator {
namespace {

// The file manager sometimes ignores the first raise while it is still activating; a second
// pass shortly after brings the window forward reliably.
constexpr double kFileManagerSecondPassDelay = 0.05;

void appendWindows(const RunningApplication& app, std::vector<WindowItem>& items) {
    auto& ax = *platform().accessibility;
    auto windows = ax.copyAttribute(ax.applicationElement(app.pid), AX::windows).asElements();
    if (!windows)
        return;
    for (const auto& window : *windows) {
        WindowItem item;
        item.id = Uuid::random();
        item.pid = app.pid;
        item.appName = app.localizedName ? *app.localizedName : localized("Unknown");
        item.appBundleID = app.bundleIdentifier;
        item.appIcon = app.icon;
        item.title = ax.copyAttribute(window, AX::title).asString().value_or("");
        item.axWindow = window;
        item.cgWindowID = ax.windowNumber(window);
        items.push_back(std::move(item));
    }
}

void activateApplication(Pid pid) {
    auto& workspace = *platform().workspace;
    if (workspace.runningApplication(pid))
        workspace.activate(pid, ActivationOptions::allWindows);
}

}  // namespace

std::vector<WindowItem> enumerate() {
    std::vector<WindowItem> items;
    for (const auto& app : platform().workspace->runningApplications()) {
        if (app.activationPolicy != ActivationPolicy::regular || app.pid < 1)
            continue;
        appendWindows(app, items);
    }
    return items;
}

void activate(const WindowItem& item) {
    auto& p = platform();
    bool fileManager = p.facts.isFileManager(item.appBundleID);
    if (fileManager && !p.workspace->runningApplication(item.pid)) {
        AppActivator::ensureFinderWindow();
        return;
    }
    activateApplication(item.pid);
    auto& ax = *p.accessibility;
    if (ax.copyAttribute(item.axWindow, AX::minimized).asBool() == true)
        ax.setAttribute(item.axWindow, AX::minimized, false);
    ax.setAttribute(item.axWindow, AX::main, true);
    ax.setAttribute(item.axWindow, AX::focused, true);
    ax.performAction(item.axWindow, AX::raiseAction);
    if (!fileManager)
        return;
    p.dispatch->asyncAfter(kFileManagerSecondPassDelay, [pid = item.pid, window = item.axWindow] {
        activateApplication(pid);
        platform().accessibility->performAction(window, AX::raiseAction);
    });
}

}  // namespace vantlo::WindowEnumerator
