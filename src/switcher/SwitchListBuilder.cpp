#include "switcher/SwitchListBuilder.h"

#include <algorithm>
#include <map>
#include <set>

#include "browser/BrowserTabCache.h"
#include "discovery/AppEnumerator.h"
#include "discovery/AppRegistry.h"
#include "discovery/IgnoreFilter.h"
#include "discovery/MRUStore.h"
#include "discovery/WindowEnumeratorCache.h"
#include "platform/Platform.h"
#include "settings/PanelSettings.h"

namespace vantlo {
namespace {

struct Ignores {
    std::set<std::string> bundleIDs;
    std::vector<std::string> appPatterns;
    std::vector<std::string> windowPatterns;

    bool ignoresApp(const std::optional<std::string>& bundleID, const std::string& name) const {
        if (bundleID && bundleIDs.count(*bundleID))
            return true;
        return IgnoreFilter::anyPatternMatches(appPatterns, name);
    }
    bool ignoresWindow(const WindowItem& window) const {
        if (ignoresApp(window.appBundleID, window.appName))
            return true;
        return !window.title.empty() &&
               IgnoreFilter::anyPatternMatches(windowPatterns, window.title);
    }
};

Ignores readIgnores() {
    auto ids = IgnoreFilter::ignoredAppBundleIDs();
    return {{ids.begin(), ids.end()},
            IgnoreFilter::ignoredAppRegex(),
            IgnoreFilter::ignoredWindowRegex()};
}

const RunningApplication* firstRunning(const std::vector<RunningApplication>& running,
                                       const std::string& bundleID) {
    for (const auto& app : running) {
        if (app.bundleIdentifier == bundleID)
            return &app;
    }
    return nullptr;
}

// The file manager's windows, folded into one row per file manager.
std::vector<WindowGroupItem> fileManagerGroups(const std::vector<WindowItem>& windows,
                                               const std::vector<RunningApplication>& running) {
    std::vector<WindowGroupItem> groups;
    for (const auto& window : windows) {
        if (!platform().facts.isFileManager(window.appBundleID))
            continue;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const WindowGroupItem& g) {
            return g.appBundleID == *window.appBundleID;
        });
        if (group == groups.end()) {
            WindowGroupItem made;
            made.id = Uuid::random();
            made.appBundleID = *window.appBundleID;
            const RunningApplication* app = firstRunning(running, made.appBundleID);
            made.appName = app && app->localizedName ? *app->localizedName : window.appName;
            made.appIcon = app ? app->icon : window.appIcon;
            groups.push_back(std::move(made));
            group = std::prev(groups.end());
        }
        group->windows.push_back(window);
    }
    return groups;
}

std::vector<TabGroupItem> tabGroups(const std::vector<TabItem>& tabs) {
    std::vector<TabGroupItem> groups;
    for (const auto& tab : tabs) {
        auto group = std::find_if(groups.begin(), groups.end(), [&](const TabGroupItem& g) {
            return g.browserBundleID == tab.browserBundleID;
        });
        if (group == groups.end()) {
            TabGroupItem made;
            made.id = Uuid::random();
            made.browserBundleID = tab.browserBundleID;
            made.appName = tab.browserAppName;
            made.appIcon = tab.appIcon;
            groups.push_back(std::move(made));
            group = std::prev(groups.end());
        }
        group->tabs.push_back(tab);
    }
    return groups;
}

}  // namespace

std::vector<SwitchItem> SwitchListBuilder::build() const {
    const auto cachedWindows = WindowEnumeratorCache::shared().cached();
    const auto cachedTabs = BrowserTabCache::shared().tabs();
    const auto installed = AppRegistry::shared().apps();
    const auto running = platform().workspace->runningApplications();
    const Ignores ignores = readIgnores();

    std::vector<WindowItem> visible;
    std::set<std::string> present;  // bundle identifiers that already have a row
    for (const auto& window : cachedWindows) {
        if (ignores.ignoresWindow(window))
            continue;
        visible.push_back(window);
        if (window.appBundleID)
            present.insert(*window.appBundleID);
    }
    for (const auto& tab : cachedTabs)
        present.insert(tab.browserBundleID);

    const auto windowGroups = fileManagerGroups(visible, running);
    std::set<std::string> grouped;
    for (const auto& group : windowGroups)
        grouped.insert(group.appBundleID);

    std::vector<SwitchItem> windowItems;
    for (const auto& window : visible) {
        if (!window.appBundleID || !grouped.count(*window.appBundleID))
            windowItems.emplace_back(window);
    }

    std::map<std::string, const AppItem*> installedByID;
    for (const auto& app : installed)
        installedByID.emplace(app.bundleID, &app);

    std::vector<SwitchItem> runningItems;
    std::set<std::string> runningListed;
    for (const auto& app : running) {
        if (app.isTerminated || !app.bundleIdentifier || !app.bundlePath)
            continue;
        const std::string& id = *app.bundleIdentifier;
        if (isRecentlyClosedApp_(id) || present.count(id) || runningListed.count(id))
            continue;
        if (ignores.ignoresApp(id, app.localizedName.value_or("")))
            continue;
        if (auto found = installedByID.find(id); found != installedByID.end()) {
            runningItems.emplace_back(*found->second);
        } else {
            if (!AppEnumerator::isUserLaunchableAppURL(*app.bundlePath))
                continue;
            AppItem made;
            made.id = Uuid::random();
            made.bundleID = id;
            made.name = app.localizedName.value_or(id);
            made.icon = app.icon;
            made.path = *app.bundlePath;
            runningItems.emplace_back(std::move(made));
        }
        runningListed.insert(id);
    }

    std::vector<SwitchItem> installedItems;
    if (PanelSettings::showAppsWithoutWindows()) {
        std::set<std::string> listed = present;
        listed.insert(runningListed.begin(), runningListed.end());
        for (const auto& app : installed) {
            if (ignores.ignoresApp(app.bundleID, app.name))
                continue;
            if (isRecentlyClosedApp_(app.bundleID) || listed.count(app.bundleID))
                continue;
            bool isFileManager = platform().facts.isFileManager(app.bundleID);
            if (!isFileManager && firstRunning(running, app.bundleID))
                continue;
            installedItems.emplace_back(app);
        }
    }

    std::vector<SwitchItem> items = std::move(windowItems);
    for (auto& group : tabGroups(cachedTabs))
        items.emplace_back(std::move(group));
    for (const auto& group : windowGroups)
        items.emplace_back(group);
    for (const auto& tab : cachedTabs)
        items.emplace_back(tab);
    for (auto& item : runningItems)
        items.push_back(std::move(item));
    for (auto& item : installedItems)
        items.push_back(std::move(item));

    const auto& recency = MRUStore::shared();
    std::vector<std::pair<double, std::size_t>> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        keys.emplace_back(recency.score(items[i].mruKey(), items[i].bundleID()), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<SwitchItem> sorted;
    sorted.reserve(items.size());
    for (const auto& [score, index] : keys)
        sorted.push_back(std::move(items[index]));
    return sorted;
}

}  // namespace vantlo
