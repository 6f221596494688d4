#pragma once
// The display services the diagnostics report reads in the desktop build: the trust test (an X
// server with an EWMH window manager answers) through the X11 backend.

#include "platform/Platform.h"

namespace vantlo {

// Connects to $DISPLAY and adds the X11 accessibility service to `services`; adds nothing when
// no X server answers, so the report then says "missing".
void addDiagnosticsDisplayServices(Platform& services);

}  // namespace vantlo
