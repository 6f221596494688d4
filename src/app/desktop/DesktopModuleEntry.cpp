// The desktop module's entry point (see app/DesktopModule.h): what `vantlo` runs once it has
// loaded the module, with the arguments of the process.

#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/desktop/DesktopMain.h"
#include "app/desktop/DiagnosticsDisplay.h"

extern "C" {

__attribute__((visibility("default"))) extern const char vantlo_desktop_version[];
const char vantlo_desktop_version[] = VANTLO_VERSION;

__attribute__((visibility("default"))) int vantlo_desktop_main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    vantlo::CommandLine commandLine(arguments, vantlo::addDiagnosticsDisplayServices);
    auto outcome = commandLine.run(std::cin, std::cout, std::cerr);
    if (outcome.handled)
        return outcome.exitCode;
    return vantlo::runDesktop(argc, argv);
}

}  // extern "C"
