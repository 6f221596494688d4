#include "platform/linux/DesktopEntryBundles.h"

#include <filesystem>

namespace vantlo {

DesktopEntryBundles::DesktopEntryBundles(std::shared_ptr<DesktopEntryIndex> index)
    : index_(std::move(index)) {}

std::optional<BundleInfo> DesktopEntryBundles::open(const std::string& path) {
    if (!path.ends_with(".desktop"))
        return std::nullopt;
    auto entry = DesktopEntry::read(path, index_->locales());
    if (!entry || !entry->isDisplayable())
        return std::nullopt;
    // An entry of the same ID in an earlier folder wins; a hidden one removes the ID.
    std::string id = index_->idForPath(path);
    auto known = index_->current();
    if (known->isHidden(id))
        return std::nullopt;
    if (const auto* winner = known->withId(id); winner != nullptr && winner->path != path)
        return std::nullopt;
    BundleInfo info;
    info.path = path;
    info.identifier = id;
    info.info[BundleKeys::name] = entry->name;
    info.info[BundleKeys::displayName] = entry->localizedName;
    return info;
}

MainBundleInfo DesktopEntryBundles::mainBundle() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    MainBundleInfo info;
    info.identifier = "com.local.vantlo";
    info.bundlePath = executable.string();
    info.resourcesPath = (executable.parent_path().parent_path() / "share" / "vantlo").string();
#ifdef VANTLO_VERSION
    info.shortVersion = VANTLO_VERSION;
    info.buildVersion = VANTLO_VERSION;
#endif
    return info;
}

}  // namespace vantlo
