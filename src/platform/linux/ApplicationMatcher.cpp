#include "platform/linux/ApplicationMatcher.h"

#include <algorithm>
#include <limits>
#include <set>

namespace vantlo {
namespace {

// Programs that start other programs: their name says nothing about the application.
const std::set<std::string>& genericPrograms() {
    static const std::set<std::string> names = {
        "sh",       "bash", "dash",        "zsh",   "fish",    "env",   "python",   "python3",
        "perl",     "ruby", "node",        "java",  "sudo",    "gjs",   "flatpak",  "snap",
        "xdg-open", "gio",  "dbus-launch", "bwrap", "systemd", "sleep", "exo-open", "kioclient5"};
    return names;
}

const DesktopEntry* byWindowClass(const ProcessWindows& windows,
                                  const DesktopEntryIndex::Snapshot& entries) {
    for (const auto& [instance, className] : windows.wmClasses) {
        for (const auto* name : {&className, &instance}) {
            if (const auto* entry = entries.withWmClass(*name))
                return entry;
        }
    }
    for (const auto& [instance, className] : windows.wmClasses) {
        for (const auto* name : {&className, &instance}) {
            if (const auto* entry = entries.withId(*name))
                return entry;
        }
    }
    return nullptr;
}

const DesktopEntry* bySnap(const std::string& snap, const DesktopEntryIndex::Snapshot& entries) {
    // Snap exports its entries as "<snap>_<app>.desktop".
    if (const auto* entry = entries.withId(snap + "_" + snap))
        return entry;
    auto it = entries.byId.lower_bound(snap + "_");
    if (it != entries.byId.end() && it->first.starts_with(snap + "_"))
        return &entries.entries[it->second];
    return nullptr;
}

RunningApplication applicationOf(const ProcessFacts& process, const DesktopEntry& entry,
                                 bool hasNormalWindow) {
    RunningApplication app;
    app.pid = process.pid;
    app.bundleIdentifier = entry.id;
    app.localizedName = entry.localizedName.empty() ? entry.name : entry.localizedName;
    app.icon = ApplicationMatcher::iconFor(entry.icon);
    app.bundlePath = entry.path;
    if (!process.executable.empty())
        app.executablePath = process.executable;
    app.activationPolicy = (entry.isDisplayable() || hasNormalWindow) ? ActivationPolicy::regular
                                                                      : ActivationPolicy::accessory;
    return app;
}

RunningApplication windowedWithoutEntry(const ProcessFacts& process, const ProcessWindows& w) {
    RunningApplication app;
    app.pid = process.pid;
    const auto& [instance, className] = w.wmClasses.front();
    std::string key = className.empty() ? instance : className;
    app.bundleIdentifier = key;
    app.localizedName = key;
    app.icon = ApplicationMatcher::iconFor(instance.empty() ? key : instance);
    if (!process.executable.empty())
        app.executablePath = process.executable;
    app.activationPolicy = ActivationPolicy::regular;
    return app;
}

void orderByStacking(std::vector<RunningApplication>& apps,
                     const std::map<Pid, ProcessWindows>& windows) {
    auto rank = [&](const RunningApplication& app) {
        auto w = windows.find(app.pid);
        bool ranked = w != windows.end() && w->second.topmostRank;
        return ranked ? *w->second.topmostRank : std::numeric_limits<std::size_t>::max();
    };
    std::stable_sort(apps.begin(), apps.end(),
                     [&](const RunningApplication& l, const RunningApplication& r) {
                         return rank(l) < rank(r);
                     });
}

}  // namespace

ImageRef ApplicationMatcher::iconFor(const std::string& iconValue) {
    if (iconValue.empty())
        return nullptr;
    auto image = std::make_shared<Image>();
    if (iconValue[0] == '/')
        image->filePath = iconValue;
    else
        image->iconName = iconValue;
    return image;
}

const DesktopEntry* ApplicationMatcher::entryFor(const ProcessFacts& process,
                                                 const ProcessWindows* windows,
                                                 const DesktopEntryIndex::Snapshot& entries,
                                                 const Lookups& lookups) {
    if (windows != nullptr) {
        if (const auto* entry = byWindowClass(*windows, entries))
            return entry;
    }
    if (auto id = lookups.flatpakAppId(process.pid)) {
        if (const auto* entry = entries.withId(*id))
            return entry;
    }
    if (auto snap = lookups.snapName(process.pid)) {
        if (const auto* entry = bySnap(*snap, entries))
            return entry;
    }
    if (auto file = lookups.launchedDesktopFile(process.pid)) {
        if (const auto* entry = entries.withPath(*file))
            return entry;
    }
    std::string program = process.programName();
    if (!program.empty() && !genericPrograms().count(program)) {
        if (const auto* entry = entries.withExecProgram(program))
            return entry;
    }
    return nullptr;
}

std::vector<RunningApplication> ApplicationMatcher::match(
    const std::vector<ProcessFacts>& processes, const std::map<Pid, ProcessWindows>& windows,
    const DesktopEntryIndex::Snapshot& entries, const Lookups& lookups) {
    std::map<Pid, const DesktopEntry*> entryOf;
    std::set<const DesktopEntry*> withWindows;
    for (const auto& process : processes) {
        auto w = windows.find(process.pid);
        const ProcessWindows* own = w == windows.end() ? nullptr : &w->second;
        const DesktopEntry* entry = entryFor(process, own, entries, lookups);
        entryOf[process.pid] = entry;
        if (entry != nullptr && own != nullptr && !own->wmClasses.empty())
            withWindows.insert(entry);
    }

    std::vector<RunningApplication> apps;
    for (const auto& process : processes) {
        auto w = windows.find(process.pid);
        bool windowed = w != windows.end() && !w->second.wmClasses.empty();
        bool hasNormal = w != windows.end() && w->second.hasNormalWindow;
        const DesktopEntry* entry = entryOf[process.pid];
        if (entry == nullptr) {
            if (windowed && hasNormal)
                apps.push_back(windowedWithoutEntry(process, w->second));
            continue;
        }
        if (windowed) {
            apps.push_back(applicationOf(process, *entry, hasNormal));
            continue;
        }
        // A window-less process stands for its entry only when no process of the entry has a
        // window and its parent is not of the same entry (it is the main process).
        if (withWindows.count(entry))
            continue;
        auto parent = entryOf.find(process.parent);
        if (parent != entryOf.end() && parent->second == entry)
            continue;
        apps.push_back(applicationOf(process, *entry, false));
        withWindows.insert(entry);
    }
    orderByStacking(apps, windows);
    return apps;
}

}  // namespace vantlo
