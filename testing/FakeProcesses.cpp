#include "testing/FakeProcesses.h"

namespace vantlo {

Pid FakeProcesses::currentPid() {
    std::lock_guard lock(desktop_.mutex());
    return currentPid_;
}

std::uint32_t FakeProcesses::currentUid() {
    std::lock_guard lock(desktop_.mutex());
    return currentUid_;
}

std::optional<std::uint32_t> FakeProcesses::ownerUid(Pid pid) {
    std::lock_guard lock(desktop_.mutex());
    if (pid == currentPid_)
        return currentUid_;
    if (auto it = bareProcesses_.find(pid); it != bareProcesses_.end())
        return it->second;
    auto* app = desktop_.app(pid);
    if (!app || app->gone || app->ownerUnknown)
        return std::nullopt;
    return app->ownerUid.value_or(currentUid_);
}

bool FakeProcesses::isRunning(Pid pid) {
    std::lock_guard lock(desktop_.mutex());
    if (pid == currentPid_ || bareProcesses_.count(pid))
        return true;
    auto* app = desktop_.app(pid);
    return app && !app->gone;
}

bool FakeProcesses::sendSignal(Pid pid, int signal) {
    std::function<void(Pid, int)> handler;
    {
        std::lock_guard lock(desktop_.mutex());
        auto& effects = desktop_.effects();
        effects.signals.push_back({pid, signal});
        effects.note("signal " + std::to_string(signal) + " to " + std::to_string(pid));
        if (!isRunning(pid))
            return false;
        auto* app = desktop_.app(pid);
        bool ends = signal == Signals::kill || signal == Signals::terminate;
        if (app && ends && app->diesOnKill)
            desktop_.quitApp(*app);
        if (!app && ends)
            bareProcesses_.erase(pid);
        handler = signalHandler_;
    }
    if (handler)
        handler(pid, signal);
    return true;
}

std::optional<ProgramResult> FakeProcesses::run(const std::string& program,
                                                const std::vector<std::string>& arguments, double) {
    std::lock_guard lock(desktop_.mutex());
    auto& effects = desktop_.effects();
    effects.programs.push_back({program, arguments});
    std::string line = "run " + program;
    for (const auto& argument : arguments)
        line += " " + argument;
    effects.note(line);
    auto it = programs_.find(program);
    if (it == programs_.end())
        return std::nullopt;
    return it->second;
}

void FakeProcesses::setCurrentPid(Pid pid) {
    std::lock_guard lock(desktop_.mutex());
    currentPid_ = pid;
}

void FakeProcesses::setCurrentUid(std::uint32_t uid) {
    std::lock_guard lock(desktop_.mutex());
    currentUid_ = uid;
}

void FakeProcesses::setSignalHandler(std::function<void(Pid pid, int signal)> handler) {
    std::lock_guard lock(desktop_.mutex());
    signalHandler_ = std::move(handler);
}

void FakeProcesses::addProcess(Pid pid, std::optional<std::uint32_t> ownerUid) {
    std::lock_guard lock(desktop_.mutex());
    bareProcesses_[pid] = ownerUid;
}

void FakeProcesses::setProgramResult(const std::string& program, ProgramResult result) {
    std::lock_guard lock(desktop_.mutex());
    programs_[program] = std::move(result);
}

}  // namespace vantlo
