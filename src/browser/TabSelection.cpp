// Selecting and closing one browser tab: by script first, through Accessibility when the
// browser cannot be scripted.

#include <algorithm>

#include "browser/BrowserScripts.h"
#include "browser/BrowserTabEnumerator.h"
#include "platform/AXNames.h"
#include "platform/Platform.h"

namespace vantlo::BrowserTabEnumerator {
namespace {

// Seconds before the window is raised a second time: a browser that just switched tabs may
// still be reordering its windows when first asked.
constexpr double kSecondRaiseDelay = 0.06;

std::optional<std::vector<AXElementRef>> browserWindows(const RunningBrowser& browser) {
    auto& ax = *platform().accessibility;
    return ax.copyAttribute(ax.applicationElement(browser.pid), AX::windows).asElements();
}

std::size_t position(std::int64_t index) {
    return static_cast<std::size_t>(std::max<std::int64_t>(index - 1, 0));
}

void activateApplication(const RunningBrowser& browser) {
    if (browser.app)
        platform().workspace->activate(browser.app->pid, ActivationOptions::none);
}

void bringForward(const AXElementRef& window) {
    auto& ax = *platform().accessibility;
    if (ax.copyAttribute(window, AX::minimized).asBool().value_or(false))
        ax.setAttribute(window, AX::minimized, false);
    ax.setAttribute(window, AX::main, true);
    ax.setAttribute(window, AX::focused, true);
    ax.performAction(window, AX::raiseAction);
}

void selectThroughAccessibility(const TabItem& tab) {
    auto browser = runningBrowser(tab.browserBundleID);
    if (!browser)
        return;
    auto windows = browserWindows(*browser);
    std::size_t w = position(tab.windowIndex);
    if (!windows || w >= windows->size())
        return;
    const AXElementRef& window = (*windows)[w];
    auto candidates = tabs(window);
    std::size_t t = position(tab.tabIndex);
    if (t >= candidates.size())
        return;
    auto& ax = *platform().accessibility;
    activateApplication(*browser);
    ax.performAction(candidates[t].element, AX::pressAction);
    ax.setAttribute(candidates[t].element, AX::selected, true);
    activateApplication(*browser);
    bringForward(window);
}

// Raises the browser's window at `windowPosition` (from 0, front first; the first window when
// there is no such window) now and again shortly after.
void raiseBrowserWindow(const TabItem& tab, std::size_t windowPosition) {
    auto browser = runningBrowser(tab.browserBundleID);
    if (!browser)
        return;
    auto windows = browserWindows(*browser).value_or(std::vector<AXElementRef>{});
    if (windows.empty()) {
        activateApplication(*browser);
        return;
    }
    AXElementRef window =
        windowPosition < windows.size() ? windows[windowPosition] : windows.front();
    auto raise = [browser = *browser, window] {
        activateApplication(browser);
        bringForward(window);
    };
    raise();
    platform().dispatch->asyncAfter(kSecondRaiseDelay, raise);
}

}  // namespace

void activate(const TabItem& tab) {
    if (const Spec* row = spec(tab.browserBundleID)) {
        auto result = executeAppleScript(BrowserScripts::selection(*row, tab));
        if (result && result->booleanValue().value_or(false)) {
            // The script brought the tab's window to the front: raise that one. The remembered
            // window number may name another window by now (the tab was found by its address
            // after it moved, or the browser's windows were reordered since the listing).
            raiseBrowserWindow(tab, 0);
            return;
        }
    }
    selectThroughAccessibility(tab);
}

void revealBrowserWindow(const TabItem& tab) {
    raiseBrowserWindow(tab, position(tab.windowIndex));
}

void closeTab(const TabItem& tab) {
    if (const Spec* row = spec(tab.browserBundleID))
        executeAppleScript(BrowserScripts::close(*row, tab));
}

}  // namespace vantlo::BrowserTabEnumerator
