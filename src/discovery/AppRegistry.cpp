#include "discovery/AppRegistry.h"

#include "discovery/AppEnumerator.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {
std::mutex instanceMutex;
std::shared_ptr<AppRegistry>& instance() {
    static std::shared_ptr<AppRegistry> registry;
    return registry;
}
}  // namespace

AppRegistry& AppRegistry::shared() {
    std::shared_ptr<AppRegistry> created;
    {
        std::lock_guard lock(instanceMutex);
        auto& registry = instance();
        if (registry)
            return *registry;
        registry = std::make_shared<AppRegistry>();
        created = registry;
    }
    // Started outside the creation lock: a watch callback may ask for `shared()` itself.
    created->reload();
    created->startWatching();
    return *created;
}

void AppRegistry::resetShared() {
    std::shared_ptr<AppRegistry> dropped;
    {
        std::lock_guard lock(instanceMutex);
        dropped = std::move(instance());
    }
    if (dropped && dropped->pendingReload_)
        dropped->pendingReload_->cancel();
}

std::vector<AppItem> AppRegistry::apps() const {
    std::lock_guard lock(mutex_);
    return apps_;
}

void AppRegistry::reload() {
    std::weak_ptr<AppRegistry> weak = weak_from_this();
    platform().dispatch->global(QualityOfService::utility, [weak] {
        auto apps = AppEnumerator::scan();
        if (auto self = weak.lock()) {
            std::lock_guard lock(self->mutex_);
            self->apps_ = std::move(apps);
        }
    });
}

void AppRegistry::startWatching() {
    auto& files = *platform().fileSystem;
    std::weak_ptr<AppRegistry> weak = weak_from_this();
    for (const auto& root : platform().facts.appScanRoots) {
        if (!files.exists(root) || !files.isDirectory(root))
            continue;
        auto watch = files.watchFolder(root, [weak] {
            if (auto self = weak.lock())
                self->scheduleReload();
        });
        if (watch)
            watches_.push_back(std::move(watch));
    }
}

void AppRegistry::scheduleReload() {
    std::weak_ptr<AppRegistry> weak = weak_from_this();
    platform().dispatch->async([weak] {
        if (auto self = weak.lock())
            self->scheduleReloadOnMain();
    });
}

void AppRegistry::scheduleReloadOnMain() {
    if (pendingReload_)
        pendingReload_->cancel();
    std::weak_ptr<AppRegistry> weak = weak_from_this();
    pendingReload_ = platform().dispatch->asyncAfter(kRescanDelay, [weak] {
        if (auto self = weak.lock())
            self->reload();
    });
}

}  // namespace vantlo
