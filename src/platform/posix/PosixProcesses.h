#pragma once
// Processes on a POSIX system: this process's identity, owners read from /proc, signals guarded
// by the switcher's safety rule, and helper programs run to completion with a time-out.

#include <memory>

#include "platform/Log.h"
#include "platform/Processes.h"

namespace vantlo {

class PosixProcesses : public Processes {
  public:
    // `log` receives one line for every refused signal; may be null.
    explicit PosixProcesses(std::shared_ptr<Log> log);

    Pid currentPid() override;
    std::uint32_t currentUid() override;
    std::optional<std::uint32_t> ownerUid(Pid pid) override;
    bool isRunning(Pid pid) override;
    // Refuses (false, one log line) pids below 2, this process and processes of other users, so
    // no caller can get it wrong.
    bool sendSignal(Pid pid, int signal) override;
    std::optional<ProgramResult> run(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     double timeoutSeconds) override;

  private:
    void refuse(Pid pid, int signal, const char* reason);

    std::shared_ptr<Log> log_;
};

}  // namespace vantlo
