#pragma once
// Turns processes and their windows into running applications: each process is matched to a
// desktop entry by, in order, its windows' WM_CLASS against StartupWMClass and then against
// desktop IDs, its Flatpak application id, its snap, the entry GIO launched it from, and its
// program against Exec. Every process with a window is an instance of its application; of the
// window-less processes of one entry only the main one (the ancestor of the others) is listed.
// A process with a normal window and no entry becomes an application named by its WM_CLASS.
// Applications come most recently raised first (by their topmost window), then the window-less
// ones in process order: the order a fresh recency history falls back on.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/RunningApplication.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/ProcessTable.h"

namespace vantlo {

struct ProcessWindows {
    bool hasNormalWindow = false;
    // WM_CLASS (instance, class) of each listed window.
    std::vector<std::pair<std::string, std::string>> wmClasses;
    // Place of the process's topmost listed window in the stacking order, 0 on top.
    std::optional<std::size_t> topmostRank;

    bool operator==(const ProcessWindows&) const = default;
};

class ApplicationMatcher {
  public:
    // How the facts that need a look into a process are read (tests answer them from tables).
    struct Lookups {
        std::function<std::optional<std::string>(Pid)> launchedDesktopFile =
            ProcessTable::launchedDesktopFile;
        std::function<std::optional<std::string>(Pid)> flatpakAppId = ProcessTable::flatpakAppId;
        std::function<std::optional<std::string>(Pid)> snapName = ProcessTable::snapName;
    };

    static std::vector<RunningApplication> match(const std::vector<ProcessFacts>& processes,
                                                 const std::map<Pid, ProcessWindows>& windows,
                                                 const DesktopEntryIndex::Snapshot& entries,
                                                 const Lookups& lookups);
    static const DesktopEntry* entryFor(const ProcessFacts& process, const ProcessWindows* windows,
                                        const DesktopEntryIndex::Snapshot& entries,
                                        const Lookups& lookups);
    // The icon an entry names: a theme name, or an image file when it is a path.
    static ImageRef iconFor(const std::string& iconValue);
};

}  // namespace vantlo
