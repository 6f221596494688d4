#include "ParentBrowser.h"

#include <climits>

#include <unistd.h>

namespace vantlo::bridge {

ParentBrowser ParentBrowser::ofThisProcess() {
    ParentBrowser parent;
    parent.pid = ::getppid();
    std::string link = "/proc/" + std::to_string(parent.pid) + "/exe";
    char target[PATH_MAX];
    ssize_t length = ::readlink(link.c_str(), target, sizeof(target) - 1);
    if (length > 0)
        parent.executable.assign(target, static_cast<std::size_t>(length));
    return parent;
}

nlohmann::json ParentBrowser::identity(const std::string& origin) const {
    return {{"type", "host"},
            {"protocol", 1},
            {"browserPid", pid},
            {"browserExecutable", executable},
            {"origin", origin}};
}

}  // namespace vantlo::bridge
