#pragma once
// The commands of the end-to-end driver; each prints its findings as lines on standard output
// and answers the process exit code.

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vantlo::driver {

using Arguments = std::vector<std::string>;

// Runs one command against the installed platform. Unknown commands answer 2.
int runCommand(const std::string& command, const Arguments& arguments);
const char* usage();

}  // namespace vantlo::driver
