#pragma once
// Stands in for the operating system's processes: identity of this process, ownership of
// others, signals, and running helper programs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/RunningApplication.h"

namespace vantlo {

namespace Signals {
inline constexpr int terminate = 15;
inline constexpr int kill = 9;
}  // namespace Signals

struct ProgramResult {
    int exitCode = -1;
    std::string standardOutput;
};

class Processes {
  public:
    virtual ~Processes() = default;

    virtual Pid currentPid() = 0;
    virtual std::uint32_t currentUid() = 0;
    // The user id owning `pid`; nothing when the process does not exist or cannot be read.
    virtual std::optional<std::uint32_t> ownerUid(Pid pid) = 0;
    virtual bool isRunning(Pid pid) = 0;
    // Sends a signal. Callers must refuse pids below 2, their own and other users' processes.
    virtual bool sendSignal(Pid pid, int signal) = 0;
    // Runs a program to completion (bounded by `timeoutSeconds`); nothing when it cannot start.
    virtual std::optional<ProgramResult> run(const std::string& program,
                                             const std::vector<std::string>& arguments,
                                             double timeoutSeconds) = 0;
};

}  // namespace vantlo
