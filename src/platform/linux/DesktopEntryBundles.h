#pragma once
// Application bundles on Linux are desktop entries: the identifier is the desktop-file ID, the
// names are Name and Name[xx]. Entries that are hidden, not applications, not to be displayed or
// shadowed by an entry of the same ID in an earlier applications folder open as nothing. This
// program's own bundle is its executable with resources in <prefix>/share/vantlo.

#include <memory>

#include "platform/AppBundles.h"
#include "platform/linux/DesktopEntryIndex.h"

namespace vantlo {

class DesktopEntryBundles : public AppBundles {
  public:
    explicit DesktopEntryBundles(std::shared_ptr<DesktopEntryIndex> index);

    std::optional<BundleInfo> open(const std::string& path) override;
    MainBundleInfo mainBundle() override;

  private:
    std::shared_ptr<DesktopEntryIndex> index_;
};

}  // namespace vantlo
