#pragma once
// The commands `vantlo` passes to the copy that runs, and the line protocol they travel in over
// the control socket (platform/posix/ControlSocket.h).
//
// A request is one line, the command's name and at most one argument separated by a space:
// "preferences feedback". The reply is one line: "ok", or "error: " and a sentence. The running
// copy answers a request by posting the command's notification, with the argument (or an empty
// string) as its object; whoever does the work observes that notification on the main queue.
// Adding a command is one entry in the table in RunningCopyCommands.cpp.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

class NotificationCenter;

struct RunningCopyCommand {
    std::string name;
    // Posted in the running copy when the command arrives.
    std::string notification;
    // The accepted arguments; empty: the command takes none. An argument is always optional.
    std::vector<std::string> arguments;
    // One line for `vantlo --help`.
    std::string summary;
};

namespace RunningCopyCommands {

inline constexpr const char* kOk = "ok";
inline constexpr const char* kErrorPrefix = "error: ";

// The commands users have (listed by `vantlo --help`).
const std::vector<RunningCopyCommand>& all();
// One of `all`, or, when the end-to-end tests' switch `kTestStallVariable` is set in the
// environment, the test command "stall" (it blocks the running copy's main thread, to prove the
// keyboard comes back all the same). Null for an unknown name.
const RunningCopyCommand* find(std::string_view name);

// The number of seconds "stall" blocks for; the command exists only while it is set.
inline constexpr const char* kTestStallVariable = "VANTLO_TEST_STALL_SECONDS";
inline constexpr const char* kTestStallNotification = "Vantlo.testStall";

// Why `arguments` do not fit `command`; nothing when they do.
std::optional<std::string> checkArguments(const RunningCopyCommand& command,
                                          const std::vector<std::string>& arguments);
// The request line for a command and its (checked) arguments, without the newline.
std::string requestLine(const RunningCopyCommand& command,
                        const std::vector<std::string>& arguments);

// The running copy's side: reads one request line (without its newline), posts the command's
// notification when it is valid, and returns the reply line.
std::string answer(std::string_view request, NotificationCenter& notifications);

}  // namespace RunningCopyCommands
}  // namespace vantlo
