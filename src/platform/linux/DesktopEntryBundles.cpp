#include "platform/linux/DesktopEntryBundles.h"

#include "platform/posix/ExecutableBundle.h"

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
    return ExecutableBundle::describe(ExecutableBundle::currentExecutablePath());
}

}  // namespace vantlo
