#pragma once
// The platform of the commands that run without a display: the user defaults file, the system
// clock, threaded queues without an event loop, POSIX processes, files and system facts, this
// program's own bundle and the Linux facts. The services that need the desktop (workspace,
// accessibility, window server, hot keys, screens, clipboard, sound, scripts, login items) stay
// null; a caller that can reach the display may add some before installing the platform.

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace vantlo {

class HeadlessPlatform {
  public:
    HeadlessPlatform() = delete;

    // `defaultsPath` empty: the JSON defaults file under $XDG_CONFIG_HOME/vantlo.
    static std::shared_ptr<Platform> create(const std::string& defaultsPath = "");
};

}  // namespace vantlo
