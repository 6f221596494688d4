#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace vantlo {
namespace {
std::shared_ptr<Platform>& installed() {
    static std::shared_ptr<Platform> services;
    return services;
}
}  // namespace

void installPlatform(std::shared_ptr<Platform> services) {
    installed() = std::move(services);
}

Platform& platform() {
    auto& services = installed();
    if (!services) {
        std::fputs("vantlo: no platform installed\n", stderr);
        std::abort();
    }
    return *services;
}

bool hasPlatform() {
    return installed() != nullptr;
}

}  // namespace vantlo
