#pragma once
// This program's own bundle when it is a plain executable: the identifier every platform uses,
// the executable's path, the resources in <prefix>/share/vantlo beside it and the version the
// build was made with. It opens no other application's bundle, so commands that need no
// display can use it without reading desktop entries.

#include <string>

#include "platform/AppBundles.h"

namespace vantlo {

class ExecutableBundle : public AppBundles {
  public:
    // Always nothing: only this program's own bundle is known here.
    std::optional<BundleInfo> open(const std::string& path) override;
    MainBundleInfo mainBundle() override;

    // The bundle of the executable at `executablePath` (resources two folders up, in
    // share/vantlo). The versions are empty when the build carries none.
    static MainBundleInfo describe(const std::string& executablePath);
    // The path of the running executable; empty when it cannot be read.
    static std::string currentExecutablePath();
};

}  // namespace vantlo
