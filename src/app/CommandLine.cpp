#include "app/CommandLine.h"

#include <istream>
#include <ostream>

namespace vantlo {

std::string CommandLine::versionText() {
    return std::string("vantlo ") + VANTLO_VERSION + "\n";
}

std::string CommandLine::helpText() {
    return "Usage: vantlo [OPTION]\n"
           "A keyboard-driven switcher for windows, browser tabs and applications.\n"
           "Hold Alt and press Tab to show it; release Alt to switch.\n"
           "\n"
           "Without options, vantlo starts in the background on the X11 desktop.\n"
           "\n"
           "Options:\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n";
}

CommandLineOutcome CommandLine::run(std::istream&, std::ostream& out, std::ostream& err) const {
    if (arguments_.empty())
        return {};
    const std::string& first = arguments_.front();
    if (first == "--version" || first == "-V") {
        out << versionText();
        return {true, 0};
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
