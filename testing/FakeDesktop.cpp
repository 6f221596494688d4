#include "testing/FakeDesktop.h"

#include <algorithm>

#include "platform/Workspace.h"

namespace vantlo {

FakeDesktop::FakeDesktop(NotificationCenter& notifications, std::shared_ptr<FakeEffects> effects)
    : notifications_(notifications), effects_(std::move(effects)) {}

FakeApp& FakeDesktop::addApp(FakeApp spec) {
    std::lock_guard lock(mutex_);
    if (spec.pid == 0)
        spec.pid = nextPid_++;
    else
        nextPid_ = std::max(nextPid_, spec.pid + 1);
    apps_.push_back(std::move(spec));
    return apps_.back();
}

FakeWindow& FakeDesktop::addWindow(FakeApp& app, FakeWindow spec) {
    std::lock_guard lock(mutex_);
    if (spec.number == 0)
        spec.number = nextWindowNumber_++;
    else
        nextWindowNumber_ = std::max(nextWindowNumber_, spec.number + 1);
    spec.pid = app.pid;
    spec.closed = false;
    windows_.push_back(std::move(spec));
    stacking_.insert(stacking_.begin(), windows_.back().number);
    return windows_.back();
}

void FakeDesktop::closeWindow(FakeWindow& window) {
    std::lock_guard lock(mutex_);
    window.closed = true;
    std::erase(stacking_, window.number);
}

void FakeDesktop::quitApp(FakeApp& app) {
    std::lock_guard lock(mutex_);
    terminateLocked(app);
}

void FakeDesktop::terminateLocked(FakeApp& app) {
    if (app.gone)
        return;
    for (auto* window : windowsOf(app))
        closeWindow(*window);
    app.terminated = true;
    app.gone = true;
    if (frontmost_ == app.pid)
        frontmost_.reset();
    notifications_.post(kDidTerminateApplication, app.snapshot());
}

void FakeDesktop::setFrontmost(FakeApp& app) {
    std::lock_guard lock(mutex_);
    app.hidden = false;
    if (frontmost_ == app.pid)
        return;
    frontmost_ = app.pid;
    notifications_.post(kDidActivateApplication, app.snapshot());
}

void FakeDesktop::raise(FakeWindow& window) {
    std::lock_guard lock(mutex_);
    if (window.closed)
        return;
    std::erase(stacking_, window.number);
    stacking_.insert(stacking_.begin(), window.number);
}

FakeApp* FakeDesktop::app(Pid pid) {
    std::lock_guard lock(mutex_);
    for (auto& app : apps_) {
        if (app.pid == pid)
            return &app;
    }
    return nullptr;
}

FakeApp* FakeDesktop::appWithBundleID(const std::string& bundleID) {
    std::lock_guard lock(mutex_);
    for (auto& app : apps_) {
        if (!app.gone && app.bundleID == bundleID)
            return &app;
    }
    return nullptr;
}

FakeWindow* FakeDesktop::window(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    for (auto& window : windows_) {
        if (window.number == number)
            return &window;
    }
    return nullptr;
}

std::vector<FakeApp*> FakeDesktop::runningApps() {
    std::lock_guard lock(mutex_);
    std::vector<FakeApp*> running;
    for (auto& app : apps_) {
        if (!app.gone)
            running.push_back(&app);
    }
    return running;
}

std::vector<FakeWindow*> FakeDesktop::windowsOf(const FakeApp& app) {
    std::lock_guard lock(mutex_);
    std::vector<FakeWindow*> result;
    for (auto* window : stackingOrder()) {
        if (window->pid == app.pid)
            result.push_back(window);
    }
    return result;
}

std::vector<FakeWindow*> FakeDesktop::stackingOrder() {
    std::lock_guard lock(mutex_);
    std::vector<FakeWindow*> result;
    for (auto number : stacking_)
        result.push_back(window(number));
    return result;
}

}  // namespace vantlo
