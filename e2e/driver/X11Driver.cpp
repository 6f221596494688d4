// Entry of the end-to-end driver: installs the Linux platform and runs one command.
#include <cstdio>
#include <string>
#include <vector>

#include "DriverCommands.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(vantlo::driver::usage(), stderr);
        return 2;
    }
    std::vector<std::string> arguments(argv + 2, argv + argc);
    return vantlo::driver::runCommand(argv[1], arguments);
}
