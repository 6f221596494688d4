#pragma once
// Starts the desktop program: the Qt event loop with the Linux platform services.

namespace vantlo {

int runDesktop(int argc, char** argv);

}  // namespace vantlo
