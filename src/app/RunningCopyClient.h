#pragma once
// The sending side of the commands to the running copy (see RunningCopyCommands.h): checks the
// arguments, sends the request over the control socket and reports the outcome. Without a
// running copy it says so and fails.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/RunningCopyCommands.h"

namespace vantlo::RunningCopyClient {

// Exit status: 0 when the running copy accepted the command, 1 when no copy runs or it refused,
// 2 for arguments that do not fit the command.
int run(const RunningCopyCommand& command, const std::vector<std::string>& arguments,
        const std::string& socketPath, std::ostream& out, std::ostream& err);

}  // namespace vantlo::RunningCopyClient
