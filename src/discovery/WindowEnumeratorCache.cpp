#include "discovery/WindowEnumeratorCache.h"

#include <set>

#include "discovery/ThumbnailCache.h"
#include "discovery/WindowEnumerator.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {
std::mutex instanceMutex;
std::shared_ptr<WindowEnumeratorCache>& instance() {
    static std::shared_ptr<WindowEnumeratorCache> cache;
    return cache;
}

// Every picture a row can show is of a window in this list, so the others' can go: windows come
// and go all day, and a picture kept for a closed one would only wait for eviction.
void forgetPicturesOfClosedWindows(const std::vector<WindowItem>& windows) {
    std::set<std::uint32_t> listed;
    for (const auto& window : windows) {
        if (window.cgWindowID)
            listed.insert(*window.cgWindowID);
    }
    ThumbnailCache::shared().forgetUnlisted(listed);
}
}  // namespace

WindowEnumeratorCache& WindowEnumeratorCache::shared() {
    std::lock_guard lock(instanceMutex);
    auto& cache = instance();
    if (!cache)
        cache = std::make_shared<WindowEnumeratorCache>();
    return *cache;
}

void WindowEnumeratorCache::resetShared() {
    std::lock_guard lock(instanceMutex);
    instance().reset();
}

void WindowEnumeratorCache::refreshAsync(Completion completion) {
    {
        std::lock_guard lock(mutex_);
        if (completion)
            completions_.push_back(std::move(completion));
        if (refreshing_)
            return;
        refreshing_ = true;
    }
    std::weak_ptr<WindowEnumeratorCache> weak = weak_from_this();
    platform().dispatch->global(QualityOfService::userInitiated, [weak] {
        auto windows = WindowEnumerator::enumerate();
        auto self = weak.lock();
        if (!self)
            return;
        forgetPicturesOfClosedWindows(windows);
        double now = platform().clock->now();
        std::vector<Completion> waiting;
        {
            std::lock_guard lock(self->mutex_);
            self->cached_ = std::move(windows);
            self->refreshedAt_ = now;
            self->refreshing_ = false;
            waiting.swap(self->completions_);
        }
        if (waiting.empty())
            return;
        platform().dispatch->async([waiting = std::move(waiting)] {
            for (const auto& completion : waiting)
                completion();
        });
    });
}

std::vector<WindowItem> WindowEnumeratorCache::refreshSync() {
    auto windows = WindowEnumerator::enumerate();
    forgetPicturesOfClosedWindows(windows);
    store(windows);
    return windows;
}

void WindowEnumeratorCache::store(std::vector<WindowItem> windows) {
    double now = platform().clock->now();
    std::lock_guard lock(mutex_);
    cached_ = std::move(windows);
    refreshedAt_ = now;
}

bool WindowEnumeratorCache::isFresh(double maxAge) const {
    double now = platform().clock->now();
    std::lock_guard lock(mutex_);
    if (cached_.empty() || !refreshedAt_)
        return false;
    return now - *refreshedAt_ <= maxAge;
}

std::vector<WindowItem> WindowEnumeratorCache::cached() const {
    std::lock_guard lock(mutex_);
    return cached_;
}

}  // namespace vantlo
