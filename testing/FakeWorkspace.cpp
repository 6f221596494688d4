#include "testing/FakeWorkspace.h"

namespace vantlo {
namespace {
std::string nameFromPath(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto name = slash == std::string::npos ? path : path.substr(slash + 1);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}
}  // namespace

FakeWorkspace::FakeWorkspace(FakeDesktop& desktop, FakeAppBundles& bundles, Dispatch& dispatch)
    : desktop_(desktop), bundles_(bundles), dispatch_(dispatch) {}

FakeApp* FakeWorkspace::listedApp(Pid pid) {
    auto* app = desktop_.app(pid);
    return app && !app->gone ? app : nullptr;
}

std::vector<RunningApplication> FakeWorkspace::runningApplications() {
    std::lock_guard lock(desktop_.mutex());
    std::vector<RunningApplication> result;
    for (auto* app : desktop_.runningApps())
        result.push_back(app->snapshot());
    return result;
}

std::optional<RunningApplication> FakeWorkspace::runningApplication(Pid pid) {
    std::lock_guard lock(desktop_.mutex());
    if (auto* app = listedApp(pid))
        return app->snapshot();
    return std::nullopt;
}

std::optional<RunningApplication> FakeWorkspace::frontmostApplication() {
    std::lock_guard lock(desktop_.mutex());
    auto pid = desktop_.frontmostPid();
    if (!pid)
        return std::nullopt;
    return runningApplication(*pid);
}

FakeApp* FakeWorkspace::launch(const std::string& path) {
    for (auto* app : desktop_.runningApps()) {
        if (app->bundlePath == path && !app->terminated)
            return app;
    }
    auto bundle = bundles_.open(path);
    if (!bundle)
        return nullptr;
    FakeApp spec;
    spec.bundleID = bundle->identifier;
    auto name = bundle->info.find(BundleKeys::name);
    spec.name = name != bundle->info.end() && name->second.isString() ? name->second.asString()
                                                                      : nameFromPath(path);
    spec.bundlePath = path;
    spec.icon = iconForFile(path);
    return &desktop_.addApp(std::move(spec));
}

void FakeWorkspace::openApplication(const std::string& path, bool activates,
                                    OpenCompletion completion) {
    std::optional<RunningApplication> launched;
    std::optional<std::string> error;
    {
        std::lock_guard lock(desktop_.mutex());
        auto& effects = desktop_.effects();
        effects.openedApps.push_back({path, activates});
        effects.note("open app " + path + (activates ? " activating" : ""));
        auto failure = openFailures_.find(path);
        FakeApp* app = failure == openFailures_.end() ? launch(path) : nullptr;
        if (app) {
            if (activates)
                desktop_.setFrontmost(*app);
            launched = app->snapshot();
        } else {
            error = failure != openFailures_.end()
                        ? failure->second
                        : "The application \"" + nameFromPath(path) + "\" could not be found.";
        }
    }
    dispatch_.global(QualityOfService::utility,
                     [completion = std::move(completion), launched, error] {
                         if (completion)
                             completion(launched, error);
                     });
}

bool FakeWorkspace::open(const std::string& urlOrPath) {
    std::lock_guard lock(desktop_.mutex());
    auto& effects = desktop_.effects();
    effects.openedURLs.push_back(urlOrPath);
    effects.note("open " + urlOrPath);
    return !refusedOpens_.count(urlOrPath);
}

bool FakeWorkspace::activate(Pid pid, unsigned activationOptions) {
    std::lock_guard lock(desktop_.mutex());
    auto& effects = desktop_.effects();
    effects.activations.push_back({pid, activationOptions});
    effects.note("activate " + std::to_string(pid) + " options " +
                 std::to_string(activationOptions));
    auto* app = listedApp(pid);
    if (!app || app->terminated)
        return false;
    desktop_.setFrontmost(*app);
    return true;
}

bool FakeWorkspace::hide(Pid pid) {
    std::lock_guard lock(desktop_.mutex());
    auto& effects = desktop_.effects();
    effects.hidden.push_back(pid);
    effects.note("hide " + std::to_string(pid));
    auto* app = listedApp(pid);
    if (!app)
        return false;
    app->hidden = true;
    return true;
}

bool FakeWorkspace::terminate(Pid pid) {
    std::lock_guard lock(desktop_.mutex());
    auto& effects = desktop_.effects();
    effects.terminated.push_back(pid);
    effects.note("terminate " + std::to_string(pid));
    auto* app = listedApp(pid);
    if (!app)
        return false;
    if (app->quitsOnTerminate)
        desktop_.quitApp(*app);
    return true;
}

bool FakeWorkspace::forceTerminate(Pid pid) {
    std::lock_guard lock(desktop_.mutex());
    auto& effects = desktop_.effects();
    effects.forceTerminated.push_back(pid);
    effects.note("force terminate " + std::to_string(pid));
    auto* app = listedApp(pid);
    if (!app)
        return false;
    if (app->diesOnKill)
        desktop_.quitApp(*app);
    return true;
}

ImageRef FakeWorkspace::iconForFile(const std::string& path) {
    std::lock_guard lock(desktop_.mutex());
    auto it = fileIcons_.find(path);
    if (it != fileIcons_.end())
        return it->second;
    auto icon = std::make_shared<Image>();
    icon->filePath = path;
    fileIcons_[path] = icon;
    return icon;
}

void FakeWorkspace::failOpen(const std::string& path, std::string error) {
    std::lock_guard lock(desktop_.mutex());
    openFailures_[path] = std::move(error);
}

void FakeWorkspace::refuseOpen(const std::string& urlOrPath) {
    std::lock_guard lock(desktop_.mutex());
    refusedOpens_.insert(urlOrPath);
}

void FakeWorkspace::setFileIcon(const std::string& path, ImageRef icon) {
    std::lock_guard lock(desktop_.mutex());
    fileIcons_[path] = std::move(icon);
}

}  // namespace vantlo
