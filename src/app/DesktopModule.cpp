#include "app/DesktopModule.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>

namespace vantlo {

std::string DesktopModule::pathFor(const std::string& executablePath) {
    std::filesystem::path folder = std::filesystem::path(executablePath).parent_path();
    return (folder / VANTLO_DESKTOP_MODULE).lexically_normal().string();
}

DesktopModule::Loaded DesktopModule::load(const std::string& path, const std::string& version) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {nullptr, "the desktop part of the program is missing (" + path +
                             "); install or build vantlo with the desktop"};
    }
    // Everything at once, so a missing library shows here and not halfway through a run.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        // The system's reason usually names the file already.
        const char* why = ::dlerror();
        std::string reason = why != nullptr ? why : "unknown error";
        if (reason.find(path) == std::string::npos)
            reason = path + ": " + reason;
        return {nullptr, "cannot load the desktop part of the program: " + reason};
    }
    auto* built = static_cast<const char*>(::dlsym(handle, kVersionSymbol));
    auto entry = reinterpret_cast<Entry>(::dlsym(handle, kEntrySymbol));
    if (built == nullptr || entry == nullptr) {
        ::dlclose(handle);
        return {nullptr,
                "the desktop part of the program (" + path + ") is not a vantlo desktop module"};
    }
    if (version != built) {
        std::string error = "the desktop part of the program (" + path + ") is from vantlo " +
                            built + ", this is vantlo " + version + "; install both from one build";
        ::dlclose(handle);
        return {nullptr, error};
    }
    return {entry, {}};
}

}  // namespace vantlo
