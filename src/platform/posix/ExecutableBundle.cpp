#include "platform/posix/ExecutableBundle.h"

#include <filesystem>

namespace vantlo {

std::optional<BundleInfo> ExecutableBundle::open(const std::string&) {
    return std::nullopt;
}

MainBundleInfo ExecutableBundle::mainBundle() {
    return describe(currentExecutablePath());
}

MainBundleInfo ExecutableBundle::describe(const std::string& executablePath) {
    namespace fs = std::filesystem;
    MainBundleInfo info;
    info.identifier = "com.local.vantlo";
    info.bundlePath = executablePath;
    if (!executablePath.empty()) {
        fs::path executable(executablePath);
        info.resourcesPath = (executable.parent_path().parent_path() / "share" / "vantlo").string();
    }
#ifdef VANTLO_VERSION
    info.shortVersion = VANTLO_VERSION;
    info.buildVersion = VANTLO_VERSION;
#endif
    return info;
}

std::string ExecutableBundle::currentExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

}  // namespace vantlo
