#pragma once
// The processes of the fake desktop: every running fake application is a process owned by its
// FakeApp::ownerUid (the current user when unset); tests may add bare processes (helpers, other
// users' daemons). Signals are recorded; 9 and 15 end an application that dies on them. Helper
// programs answer what the test set with `setProgramResult`, else they cannot start.

#include <functional>
#include <map>
#include <string>

#include "platform/Processes.h"
#include "testing/FakeDesktop.h"

namespace vantlo {

class FakeProcesses : public Processes {
  public:
    explicit FakeProcesses(FakeDesktop& desktop) : desktop_(desktop) {}

    Pid currentPid() override;
    std::uint32_t currentUid() override;
    std::optional<std::uint32_t> ownerUid(Pid pid) override;
    bool isRunning(Pid pid) override;
    bool sendSignal(Pid pid, int signal) override;
    std::optional<ProgramResult> run(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     double timeoutSeconds) override;

    void setCurrentPid(Pid pid);
    void setCurrentUid(std::uint32_t uid);
    // A process that is not an application; nothing as owner makes its owner unreadable.
    void addProcess(Pid pid, std::optional<std::uint32_t> ownerUid);
    void setProgramResult(const std::string& program, ProgramResult result);
    // Runs after every signal that reaches a running process (outside the desktop's lock): how
    // a test plays what that process does on it, e.g. let go of a lock as it exits.
    void setSignalHandler(std::function<void(Pid pid, int signal)> handler);

  private:
    FakeDesktop& desktop_;
    Pid currentPid_ = 99;
    std::uint32_t currentUid_ = 501;
    std::map<Pid, std::optional<std::uint32_t>> bareProcesses_;
    std::map<std::string, ProgramResult> programs_;
    std::function<void(Pid, int)> signalHandler_;
};

}  // namespace vantlo
