#include "app/CommandLine.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "app/BrowserCommand.h"
#include "app/FilterCommand.h"
#include "app/RunningCopyClient.h"
#include "platform/posix/ControlSocket.h"

namespace vantlo {

std::string CommandLine::defaultControlSocketPath() {
    return ControlSocket::defaultPath();
}

std::string CommandLine::versionText() {
    return std::string("vantlo ") + VANTLO_VERSION + "\n";
}

std::string CommandLine::helpText() {
    std::string commands;
    for (const auto& command : RunningCopyCommands::all()) {
        std::string usage = "  " + command.name + (command.arguments.empty() ? "" : " [ARG]");
        usage.resize(std::max<std::size_t>(usage.size() + 1, 17), ' ');
        commands += usage + command.summary + "\n";
        if (!command.arguments.empty()) {
            std::string choices;
            for (const auto& argument : command.arguments)
                choices += (choices.empty() ? "" : ", ") + argument;
            commands += "                 ARG: " + choices + "\n";
        }
    }
    return "Usage: vantlo [OPTION]\n"
           "       vantlo filter QUERY [--print-score]\n"
           "       vantlo COMMAND [ARG]\n"
           "       vantlo browser install | status\n"
           "A keyboard-driven switcher for windows, browser tabs and applications.\n"
           "Hold Alt and press Tab to show it; release Alt to switch.\n"
           "\n"
           "Without options, vantlo starts in the background on the X11 desktop.\n"
           "\n"
           "Options:\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "  --diagnostics  print the diagnostics report for a bug report and exit\n"
           "\n"
           "Commands:\n"
           "  filter QUERY   print the lines of standard input that fuzzy-match QUERY, best\n"
           "                 first, with the switcher's own matcher (equal scores keep their\n"
           "                 input order; an empty QUERY prints every line); exits 1 when no\n"
           "                 line matches\n"
           "    --print-score  put each line's score and a tab before it\n"
           "  browser install  let the installed browsers start Vantlo's browser host and\n"
           "                 say how to add the Vantlo Tabs extension to each\n"
           "  browser status   per browser: whether its host manifest is in place and whether\n"
           "                 its extension is connected to the running Vantlo\n"
           "\n"
           "Commands to the running Vantlo (exit 1 when none runs):\n" +
           commands;
}

bool CommandLine::wantsDesktopPart() const {
    return arguments_.empty() || arguments_.front() == "--diagnostics";
}

CommandLineOutcome CommandLine::run(std::istream& in, std::ostream& out, std::ostream& err) const {
    if (arguments_.empty())
        return {};
    const std::string& first = arguments_.front();
    if (first == "filter") {
        std::vector<std::string> rest(arguments_.begin() + 1, arguments_.end());
        return {true, FilterCommand::run(rest, in, out, err)};
    }
    if (first == "browser") {
        std::vector<std::string> rest(arguments_.begin() + 1, arguments_.end());
        return {true, BrowserCommand::run(rest, BrowserCommand::Environment::current(), out, err)};
    }
    if (const RunningCopyCommand* command = RunningCopyCommands::find(first)) {
        std::vector<std::string> rest(arguments_.begin() + 1, arguments_.end());
        return {true, RunningCopyClient::run(*command, rest, controlSocketPath_, out, err)};
    }
    if (first == "--version" || first == "-V") {
        out << versionText();
        return {true, 0};
    }
    if (first == "--diagnostics") {
        std::vector<std::string> rest(arguments_.begin() + 1, arguments_.end());
        return {true, DiagnosticsCommand::run(rest, displayServices_, out, err)};
    }
    if (first == "--help" || first == "-h") {
        out << helpText();
        return {true, 0};
    }
    if (!first.empty() && first.front() == '-') {
        err << "vantlo: unknown option '" << first << "'\n"
            << "Try 'vantlo --help' for more information.\n";
        return {true, 2};
    }
    err << "vantlo: unknown command '" << first << "'\n"
        << "Try 'vantlo --help' for more information.\n";
    return {true, 2};
}

}  // namespace vantlo
