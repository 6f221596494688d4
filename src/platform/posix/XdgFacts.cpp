#include "platform/posix/XdgFacts.h"

#include <cstdlib>
#include <sstream>

namespace vantlo {

std::vector<std::string> XdgFacts::splitPathList(const char* value) {
    std::vector<std::string> parts;
    if (value == nullptr)
        return parts;
    std::stringstream text(value);
    std::string part;
    while (std::getline(text, part, ':')) {
        // XDG: relative entries are invalid and ignored.
        if (!part.empty() && part[0] == '/')
            parts.push_back(part);
    }
    return parts;
}

std::string XdgFacts::defaultFolderHandler(Processes& processes) {
    auto result = processes.run("xdg-mime", {"query", "default", "inode/directory"}, 3.0);
    if (!result || result->exitCode != 0)
        return "";
    std::string id = result->standardOutput;
    while (!id.empty() && (id.back() == '\n' || id.back() == ' '))
        id.pop_back();
    if (id.ends_with(".desktop"))
        id.resize(id.size() - 8);
    return id;
}

PlatformFacts XdgFacts::fromEnvironment(const std::string& home, Processes* processes) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::string dataHomeValue = (dataHome != nullptr && dataHome[0] == '/') ? dataHome : "";
    return PlatformFacts::linux(home, dataHomeValue, splitPathList(std::getenv("XDG_DATA_DIRS")),
                                processes ? defaultFolderHandler(*processes) : "");
}

}  // namespace vantlo
