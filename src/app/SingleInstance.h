#pragma once
// Makes sure one copy of Vantlo runs per user and display. The copies meet at an InstanceLock in
// the user's runtime folder: the first to take it runs; a newcomer that finds it held reads who
// holds it. The installed copy (below the platform's installed-applications prefix) wins over
// one that is not installed: it asks the holder to quit and takes the lock over. In every other
// case the running copy stays and the newcomer leaves, so starting Vantlo again (from a menu,
// the autostart entry or a terminal) never disturbs the one that runs.

#include <optional>
#include <string>

#include "platform/posix/InstanceLock.h"

namespace vantlo {

class SingleInstance {
  public:
    enum class Decision {
        stay,      // the running copy stays; the newcomer leaves
        takeOver,  // the newcomer asks the running copy to quit and takes its place
    };

    // `takeOverSeconds` bounds the wait for a copy asked to quit to let go of the lock.
    explicit SingleInstance(std::string lockPath = InstanceLock::defaultPath(),
                            double takeOverSeconds = 3.0);

    // True when this process must stop launching because another copy runs and wins. When it
    // answers false the process holds the lock for as long as this object lives (keep it for
    // the life of the process). A lock that cannot be used at all is logged and lets the
    // process start, rather than keeping Vantlo from running.
    bool enforceSingleInstance();

    // The rule between a newcomer at `newcomerPath` and the copy that holds the lock (unknown
    // when its record cannot be read).
    static Decision decide(const std::string& newcomerPath,
                           const std::optional<InstanceLock::Holder>& holder,
                           const std::string& installedPrefix);
    static bool isInstalled(const std::string& path, const std::string& installedPrefix);

    bool holdsLock() const { return lock_.isHeld(); }

  private:
    bool takeOver(const InstanceLock::Holder& holder, const InstanceLock::Holder& self);
    static void log(const std::string& line);

    InstanceLock lock_;
    double takeOverSeconds_;
};

}  // namespace vantlo
