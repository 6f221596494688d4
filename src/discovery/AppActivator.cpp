#include "discovery/AppActivator.h"

#include <algorithm>

#include "discovery/AppEnumerator.h"
#include "platform/AXNames.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {

// A media player that does not answer within this time is killed unpaused.
constexpr double kPauseScriptTimeout = 5.0;

std::mutex instanceMutex;
std::shared_ptr<AppActivator>& instance() {
    static std::shared_ptr<AppActivator> activator;
    return activator;
}

bool contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::vector<RunningApplication> regularInstances(const std::string& bundleID) {
    std::vector<RunningApplication> result;
    for (auto& app : platform().workspace->runningApplications()) {
        if (app.bundleIdentifier == bundleID && !app.isTerminated &&
            app.activationPolicy == ActivationPolicy::regular)
            result.push_back(std::move(app));
    }
    return result;
}

std::vector<Pid> pidsOf(const std::vector<RunningApplication>& apps) {
    std::vector<Pid> pids;
    for (const auto& app : apps)
        pids.push_back(app.pid);
    return pids;
}

bool isBrowser(const std::string& bundleID) {
    const auto& browsers = platform().facts.browsers;
    return std::any_of(browsers.begin(), browsers.end(),
                       [&](const BrowserIdentity& b) { return b.bundleID == bundleID; });
}

bool isDialogSubrole(const std::optional<std::string>& subrole) {
    return subrole == AX::sheetSubrole || subrole == AX::systemDialogSubrole ||
           subrole == AX::dialogSubrole;
}

// Brings a process's dialog to the front from a background probe.
void activateOnMain(Pid pid) {
    platform().dispatch->async(
        [pid] { platform().workspace->activate(pid, ActivationOptions::none); });
}

std::map<std::string, double> loadIneffectiveTable() {
    std::map<std::string, double> table;
    auto& p = platform();
    auto stored = p.defaults->dictionary(AppActivator::kIneffectiveDefaultsKey);
    if (!stored)
        return table;
    double now = p.clock->now();
    for (const auto& [bundleID, value] : *stored) {
        auto until = value.asReal();
        if (until && *until > now)
            table[bundleID] = *until;
    }
    return table;
}

// Asks a known media player to pause and waits for its answer, bounded by the script's time-out.
void pausePlaybackIfMedia(const std::string& bundleID) {
    const auto& media = platform().facts.mediaAppNames;
    auto it = media.find(bundleID);
    if (it == media.end())
        return;
    platform().scriptEngine->execute("tell application \"" + it->second + "\" to pause",
                                     kPauseScriptTimeout);
}

}  // namespace

AppActivator::AppActivator() : ineffectiveUntil_(loadIneffectiveTable()) {}

AppActivator& AppActivator::shared() {
    std::lock_guard lock(instanceMutex);
    auto& activator = instance();
    if (!activator)
        activator = std::make_shared<AppActivator>();
    return *activator;
}

void AppActivator::resetShared() {
    std::lock_guard lock(instanceMutex);
    instance().reset();
}

void AppActivator::activate(const AppItem& item) {
    auto& p = platform();
    if (p.facts.isFileManager(item.bundleID)) {
        // Another file manager than the chosen one opens from its own entry.
        ensureFinderWindow(item.bundleID == p.facts.fileManagerBundleID ? p.facts.fileManagerAppPath
                                                                        : item.path);
        return;
    }
    p.workspace->openApplication(
        item.path, true,
        [name = item.name](std::optional<RunningApplication> app,
                           std::optional<std::string> error) {
            auto& services = platform();
            if (error) {
                services.log->write("[Vantlo] Failed to open app " + name + ": " + *error);
                if (services.sound)
                    services.sound->beep();
                return;
            }
            if (app)
                services.workspace->activate(app->pid, ActivationOptions::allWindows);
        });
}

void AppActivator::ensureFinderWindow() {
    ensureFinderWindow(platform().facts.fileManagerAppPath);
}

void AppActivator::ensureFinderWindow(const std::string& fileManagerPath) {
    auto& p = platform();
    p.workspace->openApplication(
        fileManagerPath, true,
        [](std::optional<RunningApplication> app, std::optional<std::string>) {
            platform().dispatch->async([app] {
                auto& services = platform();
                if (app)
                    services.workspace->activate(app->pid, ActivationOptions::allWindows);
                services.workspace->open(services.fileSystem->homeDirectory());
            });
        });
}

bool AppActivator::isRunningUserApp(const std::string& bundleID) {
    return runningUserAppIDs().contains(bundleID);
}

std::unordered_set<std::string> AppActivator::runningUserAppIDs() {
    std::unordered_set<std::string> running;
    for (const auto& app : platform().workspace->runningApplications()) {
        if (!app.bundleIdentifier || app.isTerminated || !app.bundlePath ||
            running.contains(*app.bundleIdentifier))
            continue;
        if (AppEnumerator::isUserLaunchableAppURL(*app.bundlePath))
            running.insert(*app.bundleIdentifier);
    }
    return running;
}

ModalDialogState AppActivator::modalDialogState(Pid pid) {
    auto& ax = *platform().accessibility;
    auto windows = ax.copyAttribute(ax.applicationElement(pid), AX::windows).asElements();
    if (!windows)
        return ModalDialogState::unreadable;
    for (const auto& window : *windows) {
        if (isDialogSubrole(ax.copyAttribute(window, AX::subrole).asString()))
            return ModalDialogState::present;
        if (ax.copyAttribute(window, AX::sheet).succeeded())
            return ModalDialogState::present;
    }
    return ModalDialogState::absent;
}

void AppActivator::pausePlaybackIfMediaAsync(const std::string& bundleID) {
    if (!platform().facts.mediaAppNames.count(bundleID))
        return;
    platform().dispatch->global(QualityOfService::utility,
                                [bundleID] { pausePlaybackIfMedia(bundleID); });
}

CloseCapability AppActivator::closeCapability(const std::string& bundleID) {
    const auto& facts = platform().facts;
    if (contains(facts.protectedBundleIDs, bundleID))
        return CloseCapability::blocked(CloseCapability::kProtectedApp);
    if (contains(facts.forceQuitIneffectiveBundleIDs, bundleID) ||
        isTemporarilyForceQuitIneffective(bundleID))
        return CloseCapability::blocked(CloseCapability::kForceQuitIneffective);
    if (isBrowser(bundleID))
        return CloseCapability::blocked(CloseCapability::kCloseTabsInstead);
    if (!regularInstances(bundleID).empty())
        return CloseCapability::quitApp();
    return CloseCapability::none();
}

bool AppActivator::isTemporarilyForceQuitIneffective(const std::string& bundleID) {
    double now = platform().clock->now();
    {
        std::lock_guard lock(mutex_);
        auto it = ineffectiveUntil_.find(bundleID);
        if (it == ineffectiveUntil_.end())
            return false;
        if (it->second > now)
            return true;
        ineffectiveUntil_.erase(it);
    }
    saveIneffectiveTable();
    return false;
}

void AppActivator::saveIneffectiveTable() {
    PropertyDictionary stored;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [bundleID, until] : ineffectiveUntil_)
            stored[bundleID] = until;
    }
    platform().defaults->set(kIneffectiveDefaultsKey, std::move(stored));
}

void AppActivator::quit(const std::string& bundleID) {
    if (closeCapability(bundleID).kind() != CloseCapability::Kind::quitApp)
        return;
    auto running = regularInstances(bundleID);
    if (running.empty())
        return;
    auto& p = platform();
    double now = p.clock->now();
    bool escalate = false;
    {
        std::lock_guard lock(mutex_);
        auto pending = pendingQuitAt_.find(bundleID);
        escalate = pending != pendingQuitAt_.end() && now - pending->second <= kEscalationWindow;
        if (escalate)
            pendingQuitAt_.erase(pending);
        else
            pendingQuitAt_[bundleID] = now;
    }
    if (escalate) {
        forceQuit(bundleID, running);
        return;
    }
    for (const auto& app : running)
        p.workspace->terminate(app.pid);
    std::weak_ptr<AppActivator> weak = weak_from_this();
    p.dispatch->asyncAfter(kDialogCheckDelay, [weak, bundleID] {
        if (auto self = weak.lock())
            self->checkForDialog(bundleID);
    });
}

void AppActivator::checkForDialog(const std::string& bundleID) {
    double now = platform().clock->now();
    {
        std::lock_guard lock(mutex_);
        auto pending = pendingQuitAt_.find(bundleID);
        if (pending == pendingQuitAt_.end() || now - pending->second > kEscalationWindow)
            return;
    }
    auto pids = pidsOf(regularInstances(bundleID));
    if (pids.empty()) {
        std::lock_guard lock(mutex_);
        pendingQuitAt_.erase(bundleID);
        return;
    }
    platform().dispatch->global(QualityOfService::utility, [pids] {
        for (Pid pid : pids) {
            if (modalDialogState(pid) == ModalDialogState::present) {
                activateOnMain(pid);
                return;
            }
        }
    });
}

void AppActivator::forceQuit(const std::string& bundleID,
                             const std::vector<RunningApplication>& running) {
    auto pids = pidsOf(running);
    std::weak_ptr<AppActivator> weak = weak_from_this();
    platform().dispatch->global(QualityOfService::utility, [weak, bundleID, pids] {
        // On the same queue task as the kill, so the player hears "pause" before it dies
        // rather than racing the signal on another thread.
        pausePlaybackIfMedia(bundleID);
        if (auto self = weak.lock())
            self->killFirstPass(bundleID, pids);
    });
}

void AppActivator::killFirstPass(const std::string& bundleID, const std::vector<Pid>& pids) {
    auto& p = platform();
    for (Pid pid : pids) {
        if (!maySignal(pid))
            continue;
        if (modalDialogState(pid) == ModalDialogState::present)
            activateOnMain(pid);
        else
            p.processes->sendSignal(pid, Signals::kill);
    }
    std::weak_ptr<AppActivator> weak = weak_from_this();
    p.dispatch->asyncAfter(kSecondKillDelay, [weak, bundleID] {
        if (auto self = weak.lock())
            self->killRemaining(bundleID);
    });
    p.dispatch->asyncAfter(kIneffectiveCheckDelay, [weak, bundleID] {
        if (auto self = weak.lock())
            self->markIneffectiveIfStillRunning(bundleID);
    });
}

void AppActivator::killRemaining(const std::string& bundleID) {
    auto pids = pidsOf(regularInstances(bundleID));
    std::weak_ptr<AppActivator> weak = weak_from_this();
    platform().dispatch->global(QualityOfService::utility, [weak, pids] {
        auto self = weak.lock();
        if (!self)
            return;
        for (Pid pid : pids) {
            if (self->maySignal(pid))
                platform().processes->sendSignal(pid, Signals::kill);
        }
    });
}

void AppActivator::markIneffectiveIfStillRunning(const std::string& bundleID) {
    if (regularInstances(bundleID).empty())
        return;
    double until = platform().clock->now() + kIneffectiveDuration;
    {
        std::lock_guard lock(mutex_);
        ineffectiveUntil_[bundleID] = until;
    }
    saveIneffectiveTable();
}

bool AppActivator::maySignal(Pid pid) {
    auto& processes = *platform().processes;
    std::string reason;
    if (pid < 2) {
        reason = "not an application process";
    } else if (pid == processes.currentPid()) {
        reason = "it is this program";
    } else {
        auto owner = processes.ownerUid(pid);
        if (!owner)
            reason = "its owner cannot be read";
        else if (*owner != processes.currentUid())
            reason = "it belongs to another user";
    }
    if (reason.empty())
        return true;
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        first = refusalsLogged_.insert(pid).second;
    }
    if (first) {
        platform().log->write("[Vantlo] Not force quitting process " + std::to_string(pid) + ": " +
                              reason);
    }
    return false;
}

}  // namespace vantlo
