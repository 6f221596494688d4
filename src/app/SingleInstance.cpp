#include "app/SingleInstance.h"

#include <filesystem>

#include "platform/Platform.h"
#include "platform/posix/ControlSocket.h"

namespace vantlo {
namespace {

std::string describe(const InstanceLock::Holder& holder) {
    return "pid " + std::to_string(holder.pid) + ", " +
           (holder.executablePath.empty() ? "unknown path" : holder.executablePath);
}

}  // namespace

SingleInstance::SingleInstance(std::string lockPath, double takeOverSeconds, QuitRequest askToQuit)
    : lock_(std::move(lockPath)),
      takeOverSeconds_(takeOverSeconds),
      askToQuit_(std::move(askToQuit)) {}

SingleInstance::QuitRequest SingleInstance::quitOverControlSocket() {
    return [] {
        // Same words as `vantlo quit`; the copy answers before it winds down.
        auto exchange = ControlSocket::send(ControlSocket::defaultPath(), "quit", 2000);
        return exchange.reply && *exchange.reply == "ok";
    };
}

bool SingleInstance::isInstalled(const std::string& path, const std::string& installedPrefix) {
    if (path.empty() || installedPrefix.empty())
        return false;
    return std::filesystem::path(path).lexically_normal().string().starts_with(installedPrefix);
}

SingleInstance::Decision SingleInstance::decide(const std::optional<InstanceLock::Holder>& holder,
                                                const std::string& installedPrefix) {
    // An unreadable record gives no reason to disturb the copy that runs: it may be the
    // installed one, writing its record at this moment.
    if (!holder || isInstalled(holder->executablePath, installedPrefix))
        return Decision::stay;
    return Decision::takeOver;
}

bool SingleInstance::enforceSingleInstance() {
    auto& services = platform();
    auto bundle = services.appBundles->mainBundle();
    if (bundle.identifier.empty())
        return false;
    InstanceLock::Holder self{services.processes->currentPid(), bundle.bundlePath};
    if (lock_.tryAcquire(self))
        return false;
    if (!lock_.lastError().empty()) {
        log("[Vantlo] Cannot make sure only one copy runs (" + lock_.lastError() + ")");
        return false;
    }
    auto holder = lock_.readHolder();
    if (decide(holder, services.facts.installedApplicationsPrefix) == Decision::takeOver)
        return !takeOver(*holder, self);
    log("[Vantlo] Vantlo is already running (" +
        (holder ? describe(*holder) : std::string("lock ") + lock_.path()) + "); this copy exits");
    return true;
}

// True when the lock is ours at the end.
bool SingleInstance::takeOver(const InstanceLock::Holder& holder,
                              const InstanceLock::Holder& self) {
    auto& processes = *platform().processes;
    // Only ever our own user's process, never this one, never init or the kernel's.
    bool safe = holder.pid >= 2 && holder.pid != self.pid &&
                processes.ownerUid(holder.pid) == processes.currentUid();
    bool asked = safe && ((askToQuit_ && askToQuit_()) ||
                          processes.sendSignal(holder.pid, Signals::terminate));
    if (!asked) {
        log("[Vantlo] Cannot ask the running copy to quit (" + describe(holder) +
            "); this copy exits");
        return false;
    }
    if (lock_.acquireWithin(takeOverSeconds_, self)) {
        log("[Vantlo] Took over from the copy at " + holder.executablePath);
        return true;
    }
    log("[Vantlo] The running copy did not quit (" + describe(holder) + "); this copy exits");
    return false;
}

void SingleInstance::log(const std::string& line) {
    if (platform().log)
        platform().log->write(line);
}

}  // namespace vantlo
