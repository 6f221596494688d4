#pragma once
// The Linux platform facts for this user, read from the XDG environment: the data folders that
// hold desktop entries and, when a process service is given, the default folder handler.

#include <string>
#include <vector>

#include "platform/PlatformFacts.h"
#include "platform/Processes.h"

namespace vantlo {

class XdgFacts {
  public:
    XdgFacts() = delete;

    // `processes` may be null: the folder handler is then left unknown (no helper program runs).
    static PlatformFacts fromEnvironment(const std::string& home, Processes* processes);
    // The absolute entries of a colon-separated XDG path list (relative entries are invalid).
    static std::vector<std::string> splitPathList(const char* value);
    // The desktop ID (without ".desktop") `xdg-mime` names for folders; empty when unknown.
    static std::string defaultFolderHandler(Processes& processes);
};

}  // namespace vantlo
