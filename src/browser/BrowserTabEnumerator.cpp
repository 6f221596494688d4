#include "browser/BrowserTabEnumerator.h"

#include <cmath>

#include "browser/BrowserScripts.h"
#include "platform/AXNames.h"
#include "platform/Platform.h"

namespace vantlo::BrowserTabEnumerator {
namespace {

std::string lastPathComponent(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool contains(const std::set<std::string>& names, const std::optional<std::string>& name) {
    return name && names.count(*name) > 0;
}

bool matches(const Spec& spec, const RunningApplication& app) {
    if (app.bundleIdentifier && *app.bundleIdentifier == spec.bundleID)
        return true;
    if (app.bundlePath && spec.bundleNames.count(lastPathComponent(*app.bundlePath)))
        return true;
    if (app.executablePath && spec.executableNames.count(lastPathComponent(*app.executablePath)))
        return true;
    return contains(spec.localizedNames, app.localizedName);
}

ImageRef iconOf(const RunningBrowser& browser, const Spec& spec) {
    return browser.icon ? browser.icon : platform().workspace->iconForFile(spec.iconPath);
}

void appendAccessibilityTabs(const Spec& spec, const RunningBrowser& browser,
                             std::vector<TabItem>& result) {
    auto& ax = *platform().accessibility;
    auto windows = ax.copyAttribute(ax.applicationElement(browser.pid), AX::windows).asElements();
    if (!windows)
        return;
    ImageRef icon = iconOf(browser, spec);
    for (std::size_t w = 0; w < windows->size(); ++w) {
        auto candidates = tabs((*windows)[w]);
        for (std::size_t t = 0; t < candidates.size(); ++t) {
            TabItem tab;
            tab.id = Uuid::random();
            tab.browserBundleID = spec.bundleID;
            tab.browserAppName = browser.name;
            tab.browserPID = browser.pid;
            tab.appIcon = icon;
            tab.title = candidates[t].title;
            tab.windowIndex = static_cast<std::int64_t>(w + 1);
            tab.tabIndex = static_cast<std::int64_t>(t + 1);
            tab.isActiveInFrontWindow = w == 0 && candidates[t].selected;
            result.push_back(std::move(tab));
        }
    }
}

}  // namespace

const std::vector<Spec>& browsers() {
    return platform().facts.browsers;
}

const Spec* spec(std::string_view bundleID) {
    for (const auto& row : browsers()) {
        if (row.bundleID == bundleID)
            return &row;
    }
    return nullptr;
}

bool isSupportedBrowser(const std::optional<std::string>& bundleID) {
    return bundleID && spec(*bundleID) != nullptr;
}

std::optional<RunningBrowser> runningBrowser(const Spec& spec) {
    auto& workspace = *platform().workspace;
    for (const auto& app : workspace.runningApplications()) {
        if (matches(spec, app))
            return RunningBrowser{app.pid, app.localizedName.value_or(spec.name), app.icon, app};
    }
    for (const auto& window : platform().windowServer->onScreenWindows()) {
        if (!contains(spec.ownerNames, window.ownerName) || !window.ownerPID)
            continue;
        Pid pid = *window.ownerPID;
        return RunningBrowser{pid, spec.name, workspace.iconForFile(spec.iconPath),
                              workspace.runningApplication(pid)};
    }
    return std::nullopt;
}

std::optional<RunningBrowser> runningBrowser(std::string_view bundleID) {
    const Spec* row = spec(bundleID);
    return row ? runningBrowser(*row) : std::nullopt;
}

std::vector<std::string> runningBrowserNames() {
    std::vector<std::string> names;
    for (const auto& row : browsers()) {
        if (auto browser = runningBrowser(row))
            names.push_back(browser->name);
    }
    return names;
}

std::vector<TabItem> enumerate(const std::vector<Spec>& specs, double timeout) {
    std::vector<std::pair<const Spec*, RunningBrowser>> running;
    for (const auto& row : specs) {
        if (auto browser = runningBrowser(row))
            running.emplace_back(&row, std::move(*browser));
    }
    std::vector<TabItem> result;
    for (const auto& [row, browser] : running) {
        auto descriptor = executeAppleScript(BrowserScripts::listing(*row), timeout);
        if (!descriptor)
            continue;
        auto found =
            tabItems(descriptor, row->bundleID, browser.name, browser.pid, iconOf(browser, *row));
        applyBrowserIcons(found, platform().scriptEngine->pageIconAddresses(row->applicationName));
        result.insert(result.end(), found.begin(), found.end());
    }
    if (!result.empty())
        return result;
    // No browser answered its script (typically: automation not allowed); read the tab strips.
    for (const auto& [row, browser] : running)
        appendAccessibilityTabs(*row, browser, result);
    return result;
}

std::vector<TabItem> enumerate(std::string_view bundleID, double timeout) {
    const Spec* row = spec(bundleID);
    if (!row)
        return {};
    return enumerate(std::vector<Spec>{*row}, timeout);
}

std::optional<ScriptValue> executeAppleScript(const std::string& source, double timeout) {
    auto engine = platform().scriptEngine;
    if (!engine)
        return std::nullopt;
    if (!(timeout > 0) || !std::isfinite(timeout))
        timeout = kDefaultScriptTimeout;
    return engine->execute(source, timeout);
}

std::vector<TabItem> tabItems(const std::optional<ScriptValue>& descriptor,
                              const std::string& browserBundleID, const std::string& browserAppName,
                              Pid browserPID, const ImageRef& appIcon) {
    std::vector<TabItem> result;
    if (!descriptor)
        return result;
    for (std::size_t i = 1; i <= descriptor->numberOfItems(); ++i) {
        const ScriptValue* record = descriptor->item(i);
        if (!record || record->numberOfItems() < 5)
            continue;
        std::int32_t windowIndex = record->item(1)->int32Value().value_or(0);
        auto tabIndex = record->item(2)->int32Value();
        if (!tabIndex || windowIndex < 1 || *tabIndex < 1)
            continue;
        bool active = record->item(3)->booleanValue().value_or(false);
        TabItem tab;
        tab.id = Uuid::random();
        tab.browserBundleID = browserBundleID;
        tab.browserAppName = browserAppName;
        tab.browserPID = browserPID;
        tab.appIcon = appIcon;
        tab.title = record->item(4)->stringValue().value_or("Untitled");
        tab.url = record->item(5)->stringValue().value_or("");
        tab.faviconURL = faviconURL(tab.url);
        tab.windowIndex = windowIndex;
        tab.tabIndex = *tabIndex;
        tab.isActiveInFrontWindow = windowIndex == 1 && active;
        result.push_back(std::move(tab));
    }
    return result;
}

}  // namespace vantlo::BrowserTabEnumerator
