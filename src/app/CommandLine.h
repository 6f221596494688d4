#pragma once
// The commands `vantlo` answers without a display (version, help, and the tools that later
// parts add), and the decision whether to start the desktop program.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/DiagnosticsCommand.h"

namespace vantlo {

struct CommandLineOutcome {
    // True when the command was handled here and the process should exit with `exitCode`.
    bool handled = false;
    int exitCode = 0;
};

class CommandLine {
  public:
    // `displayServices` completes the diagnostics report where a display can be reached.
    explicit CommandLine(std::vector<std::string> arguments,
                         DiagnosticsCommand::DisplayServices displayServices = {})
        : arguments_(std::move(arguments)), displayServices_(std::move(displayServices)) {}

    // Where the commands to the running copy are sent (tests; the default is the session's).
    void setControlSocketPath(std::string path) { controlSocketPath_ = std::move(path); }

    // Whether the arguments start the desktop (none) or ask for the diagnostics report, which
    // reads the display where one answers: the work of the desktop part of the program.
    bool wantsDesktopPart() const;

    // Runs a display-free command if the arguments name one, writing to `out` and `err`.
    CommandLineOutcome run(std::istream& in, std::ostream& out, std::ostream& err) const;

    static std::string versionText();
    static std::string helpText();

  private:
    std::vector<std::string> arguments_;
    DiagnosticsCommand::DisplayServices displayServices_;
    std::string controlSocketPath_ = defaultControlSocketPath();

    static std::string defaultControlSocketPath();
};

}  // namespace vantlo
