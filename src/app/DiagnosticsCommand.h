#pragma once
// `vantlo --diagnostics`: prints the diagnostics report for a bug report and exits. It runs on
// the display-free platform, so it works where the switcher cannot start (no display, a damaged
// settings file, a second copy already running).

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vantlo {

class DiagnosticsCommand {
  public:
    // Adds the services that need the display (the trust test and the capture preflight) to the
    // display-free platform; the desktop build passes one, other builds none.
    using DisplayServices = std::function<void(Platform&)>;

    DiagnosticsCommand() = delete;

    // Writes the report and a line feed to `out`; 0, or 2 when arguments follow the option.
    // Installs its platform for the run and removes it afterwards; must not run while another
    // platform is installed.
    static int run(const std::vector<std::string>& arguments,
                   const DisplayServices& addDisplayServices, std::ostream& out, std::ostream& err);
};

}  // namespace vantlo
