#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

#if VANTLO_HAVE_DESKTOP
#include "app/desktop/DesktopMain.h"
#include "app/desktop/DiagnosticsDisplay.h"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
#if VANTLO_HAVE_DESKTOP
    vantlo::CommandLine commandLine(arguments, vantlo::addDiagnosticsDisplayServices);
#else
    vantlo::CommandLine commandLine(arguments);
#endif
    auto outcome = commandLine.run(std::cin, std::cout, std::cerr);
    if (outcome.handled)
        return outcome.exitCode;
#if VANTLO_HAVE_DESKTOP
    return vantlo::runDesktop(argc, argv);
#else
    std::cerr << "vantlo: this build has no desktop support; only --help, --version and the "
                 "display-free commands work.\n";
    return 1;
#endif
}
