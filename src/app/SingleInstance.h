#pragma once
// Makes sure one copy of Vantlo runs per user and display. The copies meet at an InstanceLock in
// the user's runtime folder: the first to take it runs; a newcomer that finds it held reads who
// holds it. A copy installed by the package (below the platform's installed-applications prefix)
// keeps running whoever comes next. Any other running copy is replaced: the newcomer asks it to
// quit and takes the lock over, so starting a freshly built copy replaces the one that ran.

#include <functional>
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

    // Asks the running copy to quit over the command channel; true when it agreed. False when
    // nothing answers there (a copy too old for the command, or one whose channel is off): the
    // newcomer then sends it SIGTERM.
    using QuitRequest = std::function<bool()>;

    // `takeOverSeconds` bounds the wait for a copy asked to quit to let go of the lock.
    explicit SingleInstance(std::string lockPath = InstanceLock::defaultPath(),
                            double takeOverSeconds = 3.0,
                            QuitRequest askToQuit = quitOverControlSocket());

    // "quit" sent to the control socket of this user and display.
    static QuitRequest quitOverControlSocket();

    // True when this process must stop launching because another copy runs and wins. When it
    // answers false the process holds the lock for as long as this object lives (keep it for
    // the life of the process). A lock that cannot be used at all is logged and lets the
    // process start, rather than keeping Vantlo from running.
    bool enforceSingleInstance();

    // The rule for a newcomer facing the copy that holds the lock (unknown when its record
    // cannot be read).
    static Decision decide(const std::optional<InstanceLock::Holder>& holder,
                           const std::string& installedPrefix);
    static bool isInstalled(const std::string& path, const std::string& installedPrefix);

    bool holdsLock() const { return lock_.isHeld(); }

  private:
    bool takeOver(const InstanceLock::Holder& holder, const InstanceLock::Holder& self);
    static void log(const std::string& line);

    InstanceLock lock_;
    double takeOverSeconds_;
    QuitRequest askToQuit_;
};

}  // namespace vantlo
