#include "protocol/BridgeSocketPath.h"

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace vantlo::bridge {

std::string bridgeSocketFolder(const char* runtimeDirectory, uid_t uid) {
    if (runtimeDirectory && runtimeDirectory[0] == '/')
        return std::string(runtimeDirectory) + "/vantlo";
    return "/tmp/vantlo-" + std::to_string(uid);
}

std::string bridgeSocketPath(const char* runtimeDirectory, uid_t uid) {
    return bridgeSocketFolder(runtimeDirectory, uid) + "/browser-bridge.sock";
}

std::string bridgeSocketPath() {
    return bridgeSocketPath(std::getenv("XDG_RUNTIME_DIR"), ::getuid());
}

bool isPrivateFolder(const std::string& folder, uid_t uid) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == uid && (info.st_mode & 0777) == 0700;
}

}  // namespace vantlo::bridge
