#include "discovery/DesktopController.h"

#include <algorithm>

#include "platform/AXNames.h"
#include "platform/Platform.h"

namespace vantlo::DesktopController {
namespace {

// Minimises the file manager's windows; hides it when they cannot be read.
void minimizeWindows(const RunningApplication& app) {
    auto& p = platform();
    auto& ax = *p.accessibility;
    auto windows = ax.copyAttribute(ax.applicationElement(app.pid), AX::windows).asElements();
    if (!windows) {
        p.workspace->hide(app.pid);
        return;
    }
    for (const auto& window : *windows)
        ax.setAttribute(window, AX::minimized, true);
}

}  // namespace

void showDesktop() {
    auto& p = platform();
    const auto& facts = p.facts;
    for (const auto& app : p.workspace->runningApplications()) {
        if (app.activationPolicy != ActivationPolicy::regular || !app.bundleIdentifier)
            continue;
        const auto& id = *app.bundleIdentifier;
        const auto& spared = facts.desktopProtectedBundleIDs;
        if (std::find(spared.begin(), spared.end(), id) != spared.end())
            continue;
        if (facts.isFileManager(id))
            minimizeWindows(app);
        else
            p.workspace->hide(app.pid);
    }
}

}  // namespace vantlo::DesktopController
