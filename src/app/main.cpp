#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/DesktopModule.h"
#include "platform/posix/ExecutableBundle.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    vantlo::CommandLine commandLine(arguments);
#if VANTLO_HAVE_DESKTOP
    if (commandLine.wantsDesktopPart()) {
        auto module = vantlo::DesktopModule::load(
            vantlo::DesktopModule::pathFor(vantlo::ExecutableBundle::currentExecutablePath()),
            VANTLO_VERSION);
        if (module.entry != nullptr)
            return module.entry(argc, argv);
        std::cerr << "vantlo: " << module.error << "\n";
        // Without it the diagnostics report still says what it can.
        if (arguments.empty())
            return 1;
    }
#endif
    auto outcome = commandLine.run(std::cin, std::cout, std::cerr);
    if (outcome.handled)
        return outcome.exitCode;
    std::cerr << "vantlo: this build has no desktop support; only --help, --version and the "
                 "display-free commands work.\n";
    return 1;
}
